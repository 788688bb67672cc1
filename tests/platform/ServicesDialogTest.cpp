#include "platform/FileDialogs.h"
#include "platform/ServiceRecorder.h"

#include <gtest/gtest.h>

namespace {

struct FilterCase {
    const char* pairs;
    const char* qt;
};

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, PairsBecomeQtFilters) {
    EXPECT_EQ(platform::qtFileFilter(QString::fromUtf8(GetParam().pairs)).toStdString(),
              GetParam().qt);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTest,
    ::testing::Values(FilterCase{"AVIファイル (*.avi)|*.avi", "AVIファイル (*.avi)"},
                      FilterCase{"Pictures|*.bmp;*.png|All|*.*",
                                 "Pictures (*.bmp *.png);;All (*.*)"},
                      FilterCase{"AVI (*.avi;*.divx)|*.avi;*.divx", "AVI (*.avi *.divx)"},
                      // Parentheses that are not the patterns would be taken as patterns by Qt.
                      FilterCase{"Movies (AVI)|*.avi", "Movies (AVI) (*.avi)"},
                      FilterCase{"AVI|*.avi|Dangling", "AVI (*.avi)"},
                      FilterCase{"Movies (*.avi)", "Movies (*.avi)"}, FilterCase{"", ""}));

TEST(FileDialogs, HooksAnswerAndSeeTheRequest) {
    platform::ServiceRecorder recorder;
    recorder.openFileAnswer = QStringLiteral("/movies/clip.avi");
    platform::OpenFileOptions options;
    options.title = QStringLiteral("開く");
    options.filter = QStringLiteral("AVIファイル (*.avi)|*.avi");
    EXPECT_EQ(platform::openFileDialog(nullptr, options), QStringLiteral("/movies/clip.avi"));
    ASSERT_EQ(recorder.openFileRequests.size(), 1u);
    EXPECT_EQ(recorder.openFileRequests[0].options.filter, options.filter);

    EXPECT_EQ(platform::selectFolderDialog(nullptr, {}), std::nullopt); // cancelled
    EXPECT_EQ(recorder.folderRequests.size(), 1u);
}

} // namespace
