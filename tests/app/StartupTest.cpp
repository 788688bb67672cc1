#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "app/InfoForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/FileOpenEdit.h"
#include "framework/Timer.h"
#include "platform/ServiceRecorder.h"
#include "skin/ShineSpeedButton.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void clickButton(const AppWindows& windows, const char* name) {
    leftClick(windows.control<TShineSpeedButton>(QString::fromLatin1(name)));
}

TEST(MainWindow, IsAFramelessBlackWindowOfTheDesignedSize) {
    AppWindows windows;
    TChangeForm1& main = windows.main();
    EXPECT_TRUE(main.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(main.ClientWidth(), 484);
    EXPECT_EQ(main.ClientHeight(), 214);
    EXPECT_EQ(main.Left(), 20);
    EXPECT_EQ(main.Top(), 20);
    EXPECT_EQ(main.Caption(), QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(main.Color(), clBlack);
    EXPECT_EQ(main.Font().name(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(main.AnimFrame(), 0);
    EXPECT_TRUE(main.DropFileName().isEmpty());
    EXPECT_TRUE(main.FileExt().isEmpty());
    EXPECT_TRUE(main.acceptDrops());
}

TEST(MainWindow, KeyboardFocusFollowsTheDesignedTabOrder) {
    AppWindows windows;
    QStringList order;
    for (TWinControl* control : windows.main().tabOrderChain())
        if (control->parentWidget() == &windows.main() && control->TabOrder() >= 0)
            order << control->objectName();
    EXPECT_EQ(order,
              (QStringList{"Edit2", "SpinEdit4", "SpinEdit5", "SpinEdit6", "BrowseEdit1", "Panel1",
                           "GKitMSPlay1", "Panel3", "Panel6", "Panel5", "Panel7"}));
}

TEST(Mascot, ShowsTheIdlePictureFromTheStart) {
    AppWindows windows;
    EXPECT_EQ(windows.shownMascot(), windows.mascotPicture(3));
    EXPECT_FALSE(windows.mascotTimer().Enabled());
    EXPECT_EQ(windows.mascotTimer().Interval(), 200);
}

TEST(Mascot, AnimatesZeroOneTwoOneAndOver) {
    AppWindows windows;
    const std::vector<int> expected{0, 1, 2, 1, 0, 1, 2, 1, 0};
    for (std::size_t step = 0; step < expected.size(); ++step) {
        windows.main().Timer1Timer();
        EXPECT_EQ(windows.shownMascot(), windows.mascotPicture(expected[step])) << "step " << step;
        EXPECT_EQ(windows.main().AnimFrame(), int((step + 1) % 4));
    }
}

// The pointer at a point of the window, and whether a drag from there moves the window.
struct DragCase {
    const char* what;
    QPoint at;
    bool moves;
};

class WindowDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(WindowDrag, MovesTheWindowOnlyFromItsBareSurface) {
    AppWindows windows;
    windows.main().show();
    const QPoint moved = dragWindowFrom(windows.main(), GetParam().at, QPoint(30, 12));
    if (GetParam().moves) {
        EXPECT_EQ(moved, QPoint(30, 12)) << GetParam().what;
    } else {
        EXPECT_EQ(moved, QPoint(0, 0)) << GetParam().what;
    }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, WindowDrag,
                         ::testing::Values(DragCase{"left gradient panel", {100, 173}, true},
                                           DragCase{"title bar", {300, 6}, true},
                                           DragCase{"source caption label", {15, 185}, true},
                                           DragCase{"start thumbnail", {350, 60}, true},
                                           DragCase{"mascot", {240, 80}, true},
                                           DragCase{"rounded frame", {6, 100}, true},
                                           DragCase{"source edit", {60, 185}, false},
                                           DragCase{"start spin edit", {330, 108}, false},
                                           DragCase{"conversion progress bar", {240, 198}, false},
                                           DragCase{"small player", {80, 90}, false},
                                           DragCase{"convert button", {240, 178}, false},
                                           DragCase{"close button", {470, 8}, false}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (c == ' ')
                                     c = '_';
                             return name;
                         });

TEST(TitleButtons, TheGuideOpensReadmeBesideTheProgram) {
    RecordedWindows windows;
    windows.main().setExeDir(QStringLiteral(R"(C:\Apps\Cutter)"));
    clickButton(windows, "SSButton6");
    EXPECT_EQ(windows.recorder.shellOpens,
              QStringList{QStringLiteral(R"(C:\Apps\Cutter/Readme.txt)")});
    EXPECT_TRUE(windows.recorder.messages.empty()); // the shell's answer is not examined
}

TEST(TitleButtons, TheProgramFolderIsWhereTheExecutableLies) {
    AppWindows windows;
    EXPECT_EQ(TChangeForm1().ExeDir(), QCoreApplication::applicationDirPath());
}

TEST(TitleButtons, CloseRunsTheCloseHandlerAndHidesTheWindow) {
    RecordedWindows windows;
    windows.main().show();
    clickButton(windows, "SSButton8");
    EXPECT_FALSE(windows.main().isVisible());
    EXPECT_TRUE(QFile::exists(windows.settingsFile()));
}

TEST(TitleButtons, MinimiseMinimisesTheWindow) {
    AppWindows windows;
    windows.main().show();
    clickButton(windows, "SSButton7");
    EXPECT_EQ(windows.main().WindowState(), wsMinimized);
}

TEST(TitleButtons, InfoShowsTheInformationWindowModallyUntilItCloses) {
    AppWindows windows;
    windows.main().show();
    bool shownModally = false;
    QTimer::singleShot(0, [&] {
        shownModally = windows.info().isVisible() && windows.info().isModal();
        windows.info().SpeedButton2Click();
    });
    clickButton(windows, "SSButton5");
    EXPECT_TRUE(shownModally);
    EXPECT_FALSE(windows.info().isVisible());
}

TEST(Mascot, ResumesAfterAConversionWhereItStopped) {
    RecordedWindows windows;
    const QString movie = smallMovie(5);
    windows.source().setFilename(movie);
    auto& timer = windows.mascotTimer();
    EXPECT_TRUE(timer.Enabled());
    windows.main().Timer1Timer();
    windows.main().Timer1Timer(); // pictures 0 and 1 shown; the next step is 2

    windows.destination().setPath(windows.scratch().file(QStringLiteral("out")));
    windows.main().SSButton1Click();
    EXPECT_TRUE(windows.recorder.messages.empty());
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(windows.shownMascot(), windows.mascotPicture(4));

    windows.main().WMDropFiles({movie});
    EXPECT_TRUE(timer.Enabled());
    windows.main().Timer1Timer();
    EXPECT_EQ(windows.shownMascot(), windows.mascotPicture(2));
}

} // namespace
