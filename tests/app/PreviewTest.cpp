#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "app/PreviewForm1.h"
#include "platform/ServiceRecorder.h"
#include "player/GKitMSPlay.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

class PreviewWindows {
public:
    TGKitMSPlay& main() { return windows.main().Player(); }
    TGKitMSPlay& preview() { return windows.preview().Player(); }
    void load() {
        movie = smallMovie(30);
        windows.main().WMDropFiles({movie});
    }
    // A click on the small player, as the user makes it.
    void clickSmallPlayer() {
        QWidget& player = main();
        const QPoint at(20, 20);
        QMouseEvent press(QEvent::MouseButtonPress, at, player.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&player, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, player.mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&player, &release);
    }

    platform::ServiceRecorder recorder;
    AppWindows windows;
    QString movie;
};

TEST(Preview, IsASizeableToolWindowWithAPlayerFillingIt) {
    PreviewWindows w;
    TPreviewForm1& form = w.windows.preview();
    EXPECT_EQ(form.Caption(), QStringLiteral("Preview"));
    EXPECT_EQ(form.BorderStyle(), bsSizeToolWin);
    EXPECT_TRUE(form.windowFlags() & Qt::Tool);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ClientWidth(), 292);
    EXPECT_EQ(form.ClientHeight(), 322);
    EXPECT_EQ(w.preview().geometry(), QRect(0, 0, 292, 322));
    form.setClientWidth(400);
    form.setClientHeight(300);
    EXPECT_EQ(w.preview().geometry(), QRect(0, 0, 400, 300));
}

TEST(Preview, AClickWithoutASourceOpensNothing) {
    PreviewWindows w;
    w.clickSmallPlayer();
    EXPECT_FALSE(w.windows.preview().isVisible());
    EXPECT_TRUE(w.recorder.messages.empty());
}

TEST(Preview, AClickPausesTheSmallPlayerAndPlaysTheMovieInThePreview) {
    PreviewWindows w;
    w.load();
    ASSERT_TRUE(w.main().Playing());
    w.clickSmallPlayer();
    EXPECT_FALSE(w.main().Playing());
    EXPECT_TRUE(w.windows.preview().isVisible());
    EXPECT_EQ(w.windows.preview().Caption(), QStringLiteral("Preview - ") + w.movie);
    EXPECT_EQ(w.preview().FileName(), w.movie);
    EXPECT_TRUE(w.preview().Playing());
}

TEST(Preview, ASecondClickSetsTheCaptionAndFileAgain) {
    PreviewWindows w;
    w.load();
    w.clickSmallPlayer();
    w.windows.preview().setCaption(QStringLiteral("changed"));
    w.preview().setFileName(QString());
    w.clickSmallPlayer();
    EXPECT_EQ(w.windows.preview().Caption(), QStringLiteral("Preview - ") + w.movie);
    EXPECT_EQ(w.preview().FileName(), w.movie);
    EXPECT_FALSE(w.main().Playing());
}

TEST(Preview, ClosingItStopsThePreviewAndPlaysTheSmallPlayer) {
    PreviewWindows w;
    w.load();
    w.main().Pause();
    w.clickSmallPlayer();
    w.windows.preview().Close();
    EXPECT_FALSE(w.windows.preview().isVisible());
    EXPECT_FALSE(w.preview().Playing());
    EXPECT_EQ(w.preview().Position(), 0);
    EXPECT_TRUE(w.main().Playing());

    w.clickSmallPlayer(); // the same window again
    EXPECT_TRUE(w.windows.preview().isVisible());
}

TEST(Preview, ClosingAHiddenPreviewStillRunsItsCloseHandler) {
    PreviewWindows w;
    w.load();
    w.clickSmallPlayer();
    w.windows.preview().hide();
    w.main().Pause();
    w.windows.preview().Close();
    EXPECT_TRUE(w.main().Playing());
}

} // namespace
