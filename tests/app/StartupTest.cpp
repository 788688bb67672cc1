#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "app/InfoForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/FileOpenEdit.h"
#include "framework/Image.h"
#include "framework/Timer.h"
#include "platform/Colors.h"
#include "skin/ShineSpeedButton.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class MainWindow : public RecordedWindows, public ::testing::Test {
protected:
    void clickButton(const char* name) {
        leftClick(control<TShineSpeedButton>(QString::fromLatin1(name)));
    }
};
using Mascot = MainWindow;
using TitleButtons = MainWindow;

TEST_F(MainWindow, IsAFramelessBlackWindowOfTheDesignedSize) {
    TChangeForm1& form = main();
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.ClientWidth(), 484);
    EXPECT_EQ(form.ClientHeight(), 214);
    EXPECT_EQ(form.Left(), 20);
    EXPECT_EQ(form.Top(), 20);
    EXPECT_EQ(form.Caption(), QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(form.Color(), clBlack);
    EXPECT_EQ(form.Font().name(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(form.AnimFrame(), 0);
    EXPECT_TRUE(form.DropFileName().isEmpty());
    EXPECT_TRUE(form.FileExt().isEmpty());
    EXPECT_TRUE(form.acceptDrops());
}

TEST_F(MainWindow, KeyboardFocusFollowsTheDesignedTabOrder) {
    QStringList order;
    for (TWinControl* control : main().tabOrderChain())
        if (control->parentWidget() == &main() && control->TabOrder() >= 0)
            order << control->objectName();
    EXPECT_EQ(order,
              (QStringList{"Edit2", "SpinEdit4", "SpinEdit5", "SpinEdit6", "BrowseEdit1", "Panel1",
                           "GKitMSPlay1", "Panel3", "Panel6", "Panel5", "Panel7"}));
}

TEST_F(Mascot, ShowsTheIdlePictureFromTheStart) {
    EXPECT_EQ(shownMascot(), mascotPicture(3));
    EXPECT_FALSE(mascotTimer().Enabled());
    EXPECT_EQ(mascotTimer().Interval(), 200);
}

TEST_F(Mascot, AnimatesZeroOneTwoOneAndOver) {
    const std::vector<int> expected{0, 1, 2, 1, 0, 1, 2, 1, 0};
    for (std::size_t step = 0; step < expected.size(); ++step) {
        main().Timer1Timer();
        EXPECT_EQ(shownMascot(), mascotPicture(expected[step])) << "step " << step;
        EXPECT_EQ(main().AnimFrame(), int((step + 1) % 4));
    }
}

// The pointer at a point of the window, and whether a drag from there moves the window.
struct DragCase {
    const char* what;
    QPoint at;
    bool moves;
};

class WindowDrag : public RecordedWindows, public ::testing::TestWithParam<DragCase> {};

TEST_P(WindowDrag, MovesTheWindowOnlyFromItsBareSurface) {
    main().show();
    const QPoint moved = dragWindowFrom(main(), GetParam().at, QPoint(30, 12));
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

TEST_F(TitleButtons, TheGuideOpensReadmeBesideTheProgram) {
    main().setExeDir(QStringLiteral(R"(C:\Apps\Cutter)"));
    clickButton("SSButton6");
    EXPECT_EQ(recorder.shellOpens, QStringList{QStringLiteral(R"(C:\Apps\Cutter/Readme.txt)")});
    EXPECT_TRUE(recorder.messages.empty()); // the shell's answer is not examined
}

// Regression: where the desktop has no program to open files with, the button did nothing at all.
TEST_F(TitleButtons, AGuideThatCannotBeOpenedIsReportedWithTheReason) {
    const QString guide = scratch().file(QStringLiteral("Readme.txt"));
    writeText(guide, "guide");
    main().setExeDir(scratch().path());
    recorder.shellOpenResult = false;
    const ScopedEnvironmentVariable path("PATH", QFile::encodeName(scratch().path()));
    clickButton("SSButton6");
    ASSERT_EQ(recorder.messages.size(), 1u);
    const platform::MessageBoxRequest& message = recorder.messages[0];
    EXPECT_EQ(message.caption, QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(message.icon, platform::MessageIcon::Error);
    EXPECT_TRUE(message.text.contains(guide)) << message.text.toStdString();
    EXPECT_TRUE(message.text.contains(QStringLiteral("xdg-utils"))) << message.text.toStdString();
}

TEST_F(TitleButtons, TheProgramFolderIsWhereTheExecutableLies) {
    EXPECT_EQ(TChangeForm1().ExeDir(), QCoreApplication::applicationDirPath());
}

TEST_F(TitleButtons, CloseRunsTheCloseHandlerAndHidesTheWindow) {
    main().show();
    clickButton("SSButton8");
    EXPECT_FALSE(main().isVisible());
    EXPECT_TRUE(QFile::exists(settingsFile()));
}

TEST_F(TitleButtons, MinimiseMinimisesTheWindow) {
    main().show();
    clickButton("SSButton7");
    EXPECT_EQ(main().WindowState(), wsMinimized);
}

TEST_F(TitleButtons, InfoShowsTheInformationWindowModallyUntilItCloses) {
    main().show();
    bool shownModally = false;
    QTimer::singleShot(0, [&] {
        shownModally = info().isVisible() && info().isModal();
        info().SpeedButton2Click();
    });
    clickButton("SSButton5");
    EXPECT_TRUE(shownModally);
    EXPECT_FALSE(info().isVisible());
}

TEST_F(Mascot, ResumesAfterAConversionWhereItStopped) {
    const QString movie = smallMovie(5);
    source().setFilename(movie);
    auto& timer = mascotTimer();
    EXPECT_TRUE(timer.Enabled());
    main().Timer1Timer();
    main().Timer1Timer(); // pictures 0 and 1 shown; the next step is 2

    destination().setPath(scratch().file(QStringLiteral("out")));
    main().SSButton1Click();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(shownMascot(), mascotPicture(4));

    main().WMDropFiles({movie});
    EXPECT_TRUE(timer.Enabled());
    main().Timer1Timer();
    EXPECT_EQ(shownMascot(), mascotPicture(2));
}

// Where the designed layout overlaps, the later control in the form lies on top.
class Layout : public MainWindow {
protected:
    void SetUp() override { image = main().renderToImage(); }
    TColor at(int x, int y) const { return platform::fromQRgb(image.pixel(x, y)); }
    static TColor painted(TColor color) { return TColor(platform::colorToRgb(color)); }
    QImage image;
};

TEST_F(Layout, TheCentrePanelCoversTheTitleBarsLowerRowsAndText) {
    // The centre panel's colour depends on the column only: compare with a row of its own.
    for (int x = 181; x < 304; ++x) {
        EXPECT_EQ(at(x, 10), clBlack) << x; // its outline, over the title bar
        for (int y = 11; y <= 13; ++y)
            ASSERT_EQ(at(x, y), at(x, 165)) << x << "," << y;
    }
    EXPECT_NE(at(178, 12), at(181, 12));
}

TEST_F(Layout, TheEndThumbnailsFrameLiesOverTheStartThumbnailsEdge) {
    const TColor grey = painted(clGray);
    bool edgeAbove = false;
    for (int y = 30; y < 36; ++y)
        edgeAbove = edgeAbove || at(397, y) == grey;
    EXPECT_TRUE(edgeAbove);
    for (int y = 39; y < 48; ++y)
        EXPECT_EQ(at(397, y), clBlack) << y;
}

TEST_F(Layout, TheMascotSitsInsideTheBevelTwoPixelsFromEachSide) {
    const QImage mascot = control<TImage>(QStringLiteral("Image1")).picture();
    ASSERT_EQ(mascot.size(), QSize(120, 136));
    for (int y = 20; y < 156; ++y) {
        ASSERT_EQ(image.pixel(182, y), mascot.pixel(0, y - 20)) << y;
        ASSERT_EQ(image.pixel(301, y), mascot.pixel(119, y - 20)) << y;
    }
    EXPECT_EQ(at(180, 80), painted(clBtnHighlight));
    EXPECT_EQ(at(181, 80), painted(clBtnShadow));
    EXPECT_EQ(at(302, 80), painted(clBtnHighlight));
    EXPECT_EQ(at(303, 80), painted(clBtnShadow));
}

} // namespace
