#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "app/PreviewForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/SpinEdit.h"
#include "framework/Timer.h"
#include "player/GKitMSPlay.h"
#include "skin/DxfProgressBar.h"
#include "skin/ShineSpeedButton.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString unsupportedText =
    QStringLiteral("非対応フォーマットのAVIファイルです。処理を中止します。");

struct Range {
    int start;
    int end;
    int interval;
};

// The movie loaded, the destination an unmade folder "out" of the scratch folder.
class Converting : public RecordedWindows {
public:
    explicit Converting(const QString& movie)
        : folder(scratch().file(QStringLiteral("out"))), movie_(movie) {
        main().WMDropFiles({movie_});
        setDestination(folder);
    }

    void setRange(Range range) {
        interval().setValue(range.interval);
        end().setValue(range.end);
        start().setValue(range.start);
    }
    void setDestination(const QString& path) { destination().setPath(path); }
    void convert() { main().SSButton1Click(); }
    bool mascotFinished() const { return shownMascot() == mascotPicture(4); }
    QStringList written() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    QString output(int frame) const {
        return folder + QStringLiteral("/%1_%2.bmp")
                            .arg(QFileInfo(movie_).completeBaseName())
                            .arg(frame, 5, 10, QChar(u'0'));
    }
    void expectFramesWritten(const std::vector<int>& frames) const {
        QStringList names;
        for (int frame : frames)
            names << QFileInfo(output(frame)).fileName();
        EXPECT_EQ(written(), names);
        for (int frame : frames)
            EXPECT_EQ(fileBytes(output(frame)), expectedBmp(movie_, frame)) << "frame " << frame;
    }

    QString folder;

private:
    QString movie_;
};

struct RangeCase {
    Range range;
    std::vector<int> frames;
};

class ConvertRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ConvertRange, WritesEveryIntervalthFrameFromStartToEnd) {
    Converting run(smallMovie(30));
    run.setRange(GetParam().range);
    run.convert();
    EXPECT_TRUE(run.recorder.messages.empty())
        << run.recorder.messageTexts().join('\n').toStdString();
    EXPECT_EQ(run.recorder.beeps, 0);
    run.expectFramesWritten(GetParam().frames);
    EXPECT_EQ(run.progress().Max(), int(GetParam().frames.size()));
    EXPECT_EQ(run.progress().Position(), int(GetParam().frames.size()));
    EXPECT_TRUE(run.mascotFinished());
    EXPECT_FALSE(run.mascotTimer().Enabled());
    EXPECT_TRUE(run.smallPlayer().Playing());
}

INSTANTIATE_TEST_SUITE_P(Convert, ConvertRange,
                         ::testing::Values(RangeCase{{0, 4, 2}, {0, 2, 4}},
                                           RangeCase{{10, 20, 3}, {10, 13, 16, 19}},
                                           RangeCase{{7, 7, 1}, {7}},
                                           RangeCase{{25, 29, 1}, {25, 26, 27, 28, 29}},
                                           RangeCase{{0, 29, 29}, {0, 29}}));

// Every file equals what the command-line extractor writes for the same frame.
class ConvertCodec : public ::testing::TestWithParam<testmedia::Codec> {};

TEST_P(ConvertCodec, WritesTheDecodedFrameByteForByte) {
    testmedia::MovieRecipe recipe = recipeOf(GetParam(), 12);
    recipe.gop = 5;
    Converting run(testMovie(recipe));
    run.setRange({1, 11, 3});
    run.convert();
    EXPECT_TRUE(run.recorder.messages.empty());
    run.expectFramesWritten({1, 4, 7, 10});
}

INSTANTIATE_TEST_SUITE_P(Convert, ConvertCodec,
                         ::testing::Values(testmedia::Codec::RawBgr24, testmedia::Codec::RawPal8,
                                           testmedia::Codec::Mjpeg, testmedia::Codec::Mpeg4BFrames),
                         [](const auto& info) { return testmedia::codecName(info.param); });

TEST(Convert, RunningTwiceReplacesTheFirstRunsFiles) {
    Converting run(smallMovie(10));
    run.setRange({0, 2, 1});
    run.convert();
    for (int frame : {0, 1, 2})
        writeText(run.output(frame), "stale");
    run.convert();
    run.expectFramesWritten({0, 1, 2});
    EXPECT_TRUE(run.recorder.messages.empty());
}

TEST(Convert, CreatesEveryMissingLevelOfTheDestination) {
    Converting run(smallMovie(5));
    run.folder = run.scratch().file(QStringLiteral("A/B/C"));
    run.setDestination(run.folder);
    run.setRange({0, 1, 1});
    run.convert();
    run.expectFramesWritten({0, 1});
}

TEST(Convert, ClosesThePreviewAndPlaysTheSmallPlayerAtTheEnd) {
    Converting run(smallMovie(10));
    run.main().GKitMSPlay1Click();
    ASSERT_TRUE(run.preview().isVisible());
    run.setRange({0, 1, 1});
    run.convert();
    EXPECT_FALSE(run.preview().isVisible());
    EXPECT_FALSE(run.preview().Player().Playing());
    EXPECT_TRUE(run.smallPlayer().Playing());
}

// Failures: one beep, the one message, and what was done stays done.
void expectFailureReported(const Converting& run) {
    EXPECT_EQ(run.recorder.beeps, 1);
    ASSERT_EQ(run.recorder.messages.size(), 1u);
    EXPECT_EQ(run.recorder.messages[0].text, unsupportedText);
    EXPECT_EQ(run.recorder.messages[0].caption, QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(run.recorder.messages[0].buttons, platform::MessageButtons::Ok);
    EXPECT_FALSE(run.mascotFinished());
    EXPECT_TRUE(run.mascotTimer().Enabled());
}

TEST(ConvertFailure, AnEmptyDestinationTouchesNothing) {
    Converting run(smallMovie(10));
    run.main().GKitMSPlay1Click();
    run.progress().setPosition(7);
    run.setDestination(QString());
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 7);
    EXPECT_EQ(run.progress().Max(), 100);
    EXPECT_TRUE(run.preview().isVisible());
    EXPECT_TRUE(run.preview().Player().Playing());
    EXPECT_FALSE(run.smallPlayer().Playing()); // paused by the preview, and left so
}

TEST(ConvertFailure, ADestinationThatCannotBeCreatedWritesNothing) {
    Converting run(smallMovie(10));
    const QString file = run.scratch().file(QStringLiteral("plain-file"));
    writeText(file, "x");
    run.folder = file + QStringLiteral("/frames");
    run.setDestination(run.folder);
    run.progress().setPosition(7);
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 0);
    EXPECT_FALSE(QFileInfo::exists(run.folder));
    EXPECT_FALSE(run.smallPlayer().Playing());
}

TEST(ConvertFailure, AReadOnlyFileAtTheThirdFrameStopsAfterTwo) {
    Converting run(smallMovie(10));
    run.setRange({0, 5, 1});
    QDir().mkpath(run.folder);
    const QString blocked = run.output(2);
    writeText(blocked, "keep me");
    QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 2);
    EXPECT_EQ(run.progress().Max(), 6);
    EXPECT_EQ(fileBytes(run.output(0)), expectedBmp(smallMovie(10), 0));
    EXPECT_EQ(fileBytes(run.output(1)), expectedBmp(smallMovie(10), 1));
    EXPECT_EQ(fileBytes(blocked), "keep me");
    EXPECT_EQ(run.written().size(), 3);
    EXPECT_FALSE(run.smallPlayer().Playing());
    QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString garbledMovie(int frames, int garbled) {
    const auto file =
        testmedia::scratchFolder("app-garbled") /
        ("clip-" + std::to_string(garbled) + "-of-" + std::to_string(frames) + ".avi");
    if (!std::filesystem::exists(file))
        testmedia::writeGarbledFrame(file, frames, garbled);
    return QString::fromStdString(file.string());
}

TEST(ConvertFailure, AnUndecodableFrameStopsTheRunKeepingTheFilesBeforeIt) {
    Converting run(garbledMovie(10, 3));
    run.setRange({0, 6, 1});
    run.convert();
    expectFailureReported(run);
    run.expectFramesWritten({0, 1, 2});
    EXPECT_EQ(run.progress().Position(), 3);
    EXPECT_EQ(run.progress().Max(), 7);
    EXPECT_FALSE(run.smallPlayer().Playing());
}

// Its thumbnail fails at load; the load still completes, so that Convert can run and say why
// the movie cannot be converted instead of the window keeping the previous range.
TEST(ConvertFailure, AnUndecodableFirstFrameIsReportedAtLoadAndAgainAtConvert) {
    Converting run(garbledMovie(10, 0)); // a drop of a new name loads once, through the edit
    EXPECT_EQ(run.recorder.messageTexts(),
              QStringList{QStringLiteral("無効なクリップボード フォーマットです.")});
    EXPECT_EQ(run.end().Value(), 9);
    EXPECT_EQ(run.count(), QStringLiteral("10"));
    EXPECT_TRUE(run.control<TShineSpeedButton>(QStringLiteral("SSButton1")).Enabled());
    run.recorder.messages.clear();
    run.convert();
    expectFailureReported(run);
    EXPECT_TRUE(run.written().isEmpty());
}

TEST(ConvertFailure, AnIntervalBelowOneRefusesToStart) {
    Converting run(smallMovie(10));
    run.setRange({0, 5, 1});
    run.progress().setPosition(4);
    typeInto(run.interval(), QStringLiteral("0"));
    run.recorder.messages.clear();
    run.recorder.beeps = 0;
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 4);
    EXPECT_FALSE(QFileInfo::exists(run.folder));
}

} // namespace
