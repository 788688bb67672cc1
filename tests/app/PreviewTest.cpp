#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "app/PreviewForm1.h"
#include "player/GKitMSPlay.h"

#include <gtest/gtest.h>

namespace {

class Preview : public RecordedWindows, public ::testing::Test {
protected:
    TGKitMSPlay& previewPlayer() { return preview().Player(); }
    void load() {
        movie = smallMovie(30);
        main().WMDropFiles({movie});
    }
    void clickSmallPlayer() { leftClick(smallPlayer()); }

    QString movie;
};

TEST_F(Preview, IsASizeableToolWindowWithAPlayerFillingIt) {
    TPreviewForm1& form = preview();
    EXPECT_EQ(form.Caption(), QStringLiteral("Preview"));
    EXPECT_EQ(form.BorderStyle(), bsSizeToolWin);
    EXPECT_TRUE(form.windowFlags() & Qt::Tool);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ClientWidth(), 292);
    EXPECT_EQ(form.ClientHeight(), 322);
    EXPECT_EQ(previewPlayer().geometry(), QRect(0, 0, 292, 322));
    form.setClientWidth(400);
    form.setClientHeight(300);
    EXPECT_EQ(previewPlayer().geometry(), QRect(0, 0, 400, 300));
}

TEST_F(Preview, AClickWithoutASourceOpensNothing) {
    clickSmallPlayer();
    EXPECT_FALSE(preview().isVisible());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Preview, AClickPausesTheSmallPlayerAndPlaysTheMovieInThePreview) {
    load();
    ASSERT_TRUE(smallPlayer().Playing());
    clickSmallPlayer();
    EXPECT_FALSE(smallPlayer().Playing());
    EXPECT_TRUE(preview().isVisible());
    EXPECT_EQ(preview().Caption(), QStringLiteral("Preview - ") + movie);
    EXPECT_EQ(previewPlayer().FileName(), movie);
    EXPECT_TRUE(previewPlayer().Playing());
}

TEST_F(Preview, ASecondClickSetsTheCaptionAndFileAgain) {
    load();
    clickSmallPlayer();
    preview().setCaption(QStringLiteral("changed"));
    previewPlayer().setFileName(QString());
    clickSmallPlayer();
    EXPECT_EQ(preview().Caption(), QStringLiteral("Preview - ") + movie);
    EXPECT_EQ(previewPlayer().FileName(), movie);
    EXPECT_FALSE(smallPlayer().Playing());
}

TEST_F(Preview, ClosingItStopsThePreviewAndPlaysTheSmallPlayer) {
    load();
    smallPlayer().Pause();
    clickSmallPlayer();
    preview().Close();
    EXPECT_FALSE(preview().isVisible());
    EXPECT_FALSE(previewPlayer().Playing());
    EXPECT_EQ(previewPlayer().Position(), 0);
    EXPECT_TRUE(smallPlayer().Playing());

    clickSmallPlayer(); // the same window again
    EXPECT_TRUE(preview().isVisible());
}

TEST_F(Preview, ClosingAHiddenPreviewStillRunsItsCloseHandler) {
    load();
    clickSmallPlayer();
    preview().hide();
    smallPlayer().Pause();
    preview().Close();
    EXPECT_TRUE(smallPlayer().Playing());
}

} // namespace
