#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/EditButton.h"
#include "controls/FileOpenEdit.h"
#include "controls/SpinEdit.h"
#include "framework/Image.h"
#include "framework/Timer.h"
#include "platform/ServiceRecorder.h"
#include "player/GKitMSPlay.h"
#include "skin/AHMFadingLabel.h"
#include "skin/DxfProgressBar.h"
#include "skin/ShadowLabel.h"
#include "skin/ShineSpeedButton.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// What the window shows of its range and movie, gathered to compare in one go.
struct Shown {
    QString frames;
    QString size;
    int start = 0;
    int end = 0;
    int interval = 0;
    QString count;
    int gaugeMax = 0;
    int gaugePosition = 0;
    int progress = 0;
    bool enabled = false;
};

Shown shownBy(const AppWindows& w) {
    Shown s;
    s.frames = w.control<TAHMFadingLabel>(QStringLiteral("FadingLabel2")).Caption();
    s.size = w.control<TAHMFadingLabel>(QStringLiteral("FadingLabel3")).Caption();
    s.start = w.control<TSpinEdit>(QStringLiteral("SpinEdit4")).Value();
    s.end = w.control<TSpinEdit>(QStringLiteral("SpinEdit5")).Value();
    s.interval = w.control<TSpinEdit>(QStringLiteral("SpinEdit6")).Value();
    s.count = w.control<TShadowLabel>(QStringLiteral("ShadowLabel14")).Caption();
    s.gaugeMax = w.control<TdxfProgressBar>(QStringLiteral("dxfProgressBar1")).Max();
    s.gaugePosition = w.control<TdxfProgressBar>(QStringLiteral("dxfProgressBar1")).Position();
    s.progress = w.control<TdxfProgressBar>(QStringLiteral("ProgressBar1")).Position();
    s.enabled = w.control<TSpinEdit>(QStringLiteral("SpinEdit4")).Enabled() &&
                w.control<TSpinEdit>(QStringLiteral("SpinEdit5")).Enabled() &&
                w.control<TSpinEdit>(QStringLiteral("SpinEdit6")).Enabled() &&
                w.control<TAHMFadingLabel>(QStringLiteral("FadingLabel2")).Enabled() &&
                w.control<TAHMFadingLabel>(QStringLiteral("FadingLabel3")).Enabled() &&
                w.control<TShineSpeedButton>(QStringLiteral("SSButton1")).Enabled() &&
                w.control<TTimer>(QStringLiteral("Timer1")).Enabled();
    return s;
}

void expectLoaded(const AppWindows& w, const QString& movie, int length) {
    const Shown s = shownBy(w);
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.end, length);
    EXPECT_EQ(s.interval, 1);
    EXPECT_EQ(s.count, QString::number(length + 1));
    EXPECT_EQ(s.gaugeMax, length);
    EXPECT_EQ(s.gaugePosition, length);
    EXPECT_EQ(s.progress, 0);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(w.control<TFileOpenEdit>(QStringLiteral("Edit2")).Filename(), movie);
    EXPECT_EQ(w.control<TFileOpenEdit>(QStringLiteral("Edit2")).Hint(), movie);
    EXPECT_EQ(w.control<TGKitMSPlay>(QStringLiteral("GKitMSPlay1")).FileName(), movie);
}

void expectUnloaded(const AppWindows& w) {
    const Shown s = shownBy(w);
    EXPECT_EQ(s.frames, QStringLiteral("全0ﾌﾚｰﾑ"));
    EXPECT_EQ(s.size, QStringLiteral("0 x 0"));
    EXPECT_EQ(s.count, QStringLiteral("0"));
    EXPECT_FALSE(w.control<TSpinEdit>(QStringLiteral("SpinEdit4")).Enabled());
    EXPECT_FALSE(w.control<TShineSpeedButton>(QStringLiteral("SSButton1")).Enabled());
    EXPECT_FALSE(w.control<TAHMFadingLabel>(QStringLiteral("FadingLabel2")).Enabled());
    EXPECT_FALSE(w.control<TTimer>(QStringLiteral("Timer1")).Enabled());
    EXPECT_TRUE(w.control<TFileOpenEdit>(QStringLiteral("Edit2")).Filename().isEmpty());
}

// Moves the range away from a fresh load, so a reload shows.
void disturbRange(const AppWindows& w) {
    w.control<TSpinEdit>(QStringLiteral("SpinEdit6")).setValue(2);
    w.control<TSpinEdit>(QStringLiteral("SpinEdit4")).setValue(3);
    w.control<TSpinEdit>(QStringLiteral("SpinEdit5")).setValue(7);
    w.control<TdxfProgressBar>(QStringLiteral("ProgressBar1")).setPosition(5);
}

QString copyAs(const QString& movie, const AppScratch& scratch, const QString& name) {
    const QString target = scratch.file(name);
    QFile::copy(movie, target);
    return target;
}

QString bigMovie() {
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::Mjpeg;
    recipe.width = 640;
    recipe.height = 480;
    recipe.frames = 300;
    return testMovie(recipe);
}

enum class Way { Dialog, Drop, CommandLine };

class LoadingWays : public ::testing::TestWithParam<Way> {};

void loadBy(Way way, AppWindows& w, platform::ServiceRecorder& recorder, const QString& movie) {
    switch (way) {
    case Way::Dialog:
        recorder.openFileAnswer = movie;
        clickBrowseButton(w.control<TFileOpenEdit>(QStringLiteral("Edit2")));
        break;
    case Way::Drop:
        dropFiles(w.main(), {movie});
        break;
    case Way::CommandLine:
        w.main().setCommandLine({QStringLiteral("kirimo-avi"), movie});
        w.main().show();
        break;
    }
}

TEST_P(LoadingWays, ShowTheFrameCountAndSizeAndResetTheRange) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString movie = bigMovie();
    loadBy(GetParam(), windows, recorder, movie);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.messageTexts().join('\n').toStdString();
    const Shown s = shownBy(windows);
    EXPECT_EQ(s.frames, QStringLiteral("全300ﾌﾚｰﾑ"));
    EXPECT_EQ(s.size, QStringLiteral("640 x 480"));
    expectLoaded(windows, movie, 299);
}

INSTANTIATE_TEST_SUITE_P(Loading, LoadingWays,
                         ::testing::Values(Way::Dialog, Way::Drop, Way::CommandLine),
                         [](const auto& info) {
                             switch (info.param) {
                             case Way::Dialog:
                                 return "Dialog";
                             case Way::Drop:
                                 return "Drop";
                             case Way::CommandLine:
                                 break;
                             }
                             return "CommandLine";
                         });

TEST(Loading, TheLastAviOfADropWins) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString text = windows.scratch().file(QStringLiteral("a.txt"));
    writeText(text, "not a movie");
    const QString b = copyAs(smallMovie(10), windows.scratch(), QStringLiteral("b.AVI"));
    const QString c = copyAs(smallMovie(20), windows.scratch(), QStringLiteral("c.avi"));
    dropFiles(windows.main(), {text, b, c});
    expectLoaded(windows, c, 19);
    EXPECT_EQ(windows.main().DropFileName(), c);
}

TEST(Loading, ADropWithoutAviFilesOnAFreshWindowChangesNothing) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString text = windows.scratch().file(QStringLiteral("a.txt"));
    writeText(text, "not a movie");
    const QString other = copyAs(smallMovie(), windows.scratch(), QStringLiteral("clip.avi2"));
    dropFiles(windows.main(), {text, other});
    expectUnloaded(windows);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(Loading, ADropOnAChildControlReachesTheWindow) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString movie = smallMovie(10);
    auto& destination = windows.control<TBrowseEdit>(QStringLiteral("BrowseEdit1"));
    const QString path = destination.Path();
    dropFiles(destination, {movie});
    expectLoaded(windows, movie, 9);
    EXPECT_EQ(destination.Path(), path);
}

TEST(Loading, DroppingTheLoadedFileAgainReloadsIt) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString movie = smallMovie(10);
    dropFiles(windows.main(), {movie});
    disturbRange(windows);
    dropFiles(windows.main(), {movie});
    expectLoaded(windows, movie, 9);
}

TEST(Loading, ADropWithoutAviAfterAnEarlierOneLoadsTheEarlierFileAgain) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString movie = smallMovie(10);
    const QString text = windows.scratch().file(QStringLiteral("notes.txt"));
    writeText(text, "x");
    dropFiles(windows.main(), {movie});
    disturbRange(windows);
    dropFiles(windows.main(), {text});
    expectLoaded(windows, movie, 9);
}

TEST(Loading, ChoosingTheLoadedFileAgainInTheDialogKeepsTheRange) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString movie = smallMovie(10);
    recorder.openFileAnswer = movie;
    auto& edit = windows.control<TFileOpenEdit>(QStringLiteral("Edit2"));
    clickBrowseButton(edit);
    disturbRange(windows);
    clickBrowseButton(edit);
    const Shown s = shownBy(windows);
    EXPECT_EQ(s.start, 3);
    EXPECT_EQ(s.end, 7);
    EXPECT_EQ(s.interval, 2);
    EXPECT_EQ(s.progress, 5);
}

TEST(Loading, ASingleFrameMovieKeepsTheEarlierUpperBounds) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    windows.main().WMDropFiles({smallMovie(1)});
    const Shown s = shownBy(windows);
    EXPECT_EQ(s.frames, QStringLiteral("全1ﾌﾚｰﾑ"));
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.end, 0);
    EXPECT_EQ(s.count, QStringLiteral("1"));
    EXPECT_EQ(windows.control<TSpinEdit>(QStringLiteral("SpinEdit4")).MaxValue(), 1);
    EXPECT_EQ(windows.control<TSpinEdit>(QStringLiteral("SpinEdit5")).MaxValue(), 1);
    EXPECT_EQ(windows.control<TSpinEdit>(QStringLiteral("SpinEdit6")).MaxValue(), 9999);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(Loading, AMovieThePlayerCannotOpenIsReportedAndLeavesTheWindowAsItWas) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString broken = windows.scratch().file(QStringLiteral("broken.avi"));
    testmedia::writeMalformed(broken.toStdString(), testmedia::Malformed::NotRiff);
    dropFiles(windows.main(), {broken});
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Error);
    EXPECT_TRUE(shownBy(windows).frames == QStringLiteral("全0ﾌﾚｰﾑ"));
    EXPECT_FALSE(windows.control<TSpinEdit>(QStringLiteral("SpinEdit4")).Enabled());
    EXPECT_FALSE(windows.control<TShineSpeedButton>(QStringLiteral("SSButton1")).Enabled());
}

TEST(Loading, AFailedLoadAfterAGoodOneKeepsTheEarlierRange) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString movie = smallMovie(10);
    windows.main().WMDropFiles({movie});
    const QString broken = windows.scratch().file(QStringLiteral("broken.avi"));
    testmedia::writeMalformed(broken.toStdString(), testmedia::Malformed::Empty);
    recorder.openFileAnswer = broken;
    clickBrowseButton(windows.control<TFileOpenEdit>(QStringLiteral("Edit2")));
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(shownBy(windows).end, 9);
    EXPECT_EQ(shownBy(windows).frames, QStringLiteral("全10ﾌﾚｰﾑ"));
    EXPECT_EQ(windows.control<TGKitMSPlay>(QStringLiteral("GKitMSPlay1")).FileName(), movie);
}

// Command-line arguments: what exists and is an AVI name is loaded, in turn; the rest ignored.
TEST(CommandLine, LoadsEachAviArgumentInTurnAndKeepsTheLast) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    const QString first = copyAs(smallMovie(10), windows.scratch(), QStringLiteral("one.avi"));
    const QString second = copyAs(smallMovie(20), windows.scratch(), QStringLiteral("two.Avi"));
    const QString text = windows.scratch().file(QStringLiteral("three.txt"));
    writeText(text, "x");
    windows.main().setCommandLine({QStringLiteral("kirimo-avi"), first, second, text,
                                   windows.scratch().file(QStringLiteral("missing.avi"))});
    windows.main().show();
    expectLoaded(windows, second, 19);
    EXPECT_EQ(windows.main().FileExt(), QStringLiteral(".txt"));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(CommandLine, ARelativeNameIsLoadedUnderThatName) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    copyAs(smallMovie(10), windows.scratch(), QStringLiteral("clip.AVI"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(windows.scratch().path());
    windows.main().setCommandLine({QStringLiteral("kirimo-avi"), QStringLiteral("clip.AVI")});
    windows.main().show();
    QDir::setCurrent(previous);
    expectLoaded(windows, QStringLiteral("clip.AVI"), 9);
    EXPECT_EQ(windows.main().FileExt(), QStringLiteral(".AVI"));
}

TEST(CommandLine, AnOverlongArgumentIsIgnored) {
    AppWindows windows;
    platform::ServiceRecorder recorder;
    windows.main().setCommandLine({QStringLiteral("kirimo-avi"), QString(4000, u'a') + ".avi"});
    windows.main().show();
    expectUnloaded(windows);
    EXPECT_TRUE(recorder.messages.empty());
}

} // namespace
