#include "skin/GradBox.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace {

TColor grey(int level) {
    return platform::rgb(level, level, level);
}

struct TableCase {
    TColor start;
    TColor end;
    int entry;
    TColor expected;
};

class GradBoxTable : public ::testing::TestWithParam<TableCase> {};

// Inner entries are stepped and truncated, never rounded; the ends are the colours as given.
TEST_P(GradBoxTable, EntryFollowsTheTruncatedRamp) {
    const TableCase& c = GetParam();
    EXPECT_EQ(TGradBox::colorTable(c.start, c.end)[std::size_t(c.entry)], c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, GradBoxTable,
    ::testing::Values(
        // Green 128 to 255 in steps of 127/255: 128.498 and 128.996 both truncate to 128.
        TableCase{clGreen, clLime, 1, platform::rgb(0, 128, 0)},
        TableCase{clGreen, clLime, 2, platform::rgb(0, 128, 0)},
        TableCase{clGreen, clLime, 3, platform::rgb(0, 129, 0)},
        // White to silver, the title bar's run.
        TableCase{clWhite, clSilver, 16, grey(251)}, TableCase{clWhite, clSilver, 32, grey(247)},
        TableCase{clWhite, clSilver, 128, grey(223)}, TableCase{clWhite, clSilver, 240, grey(195)},
        TableCase{clWhite, clSilver, 0, clWhite}, TableCase{clWhite, clSilver, 255, clSilver},
        // A system colour stays a code at the ends and is resolved in between.
        TableCase{clBtnFace, clBtnFace, 0, clBtnFace},
        TableCase{clBtnFace, clBtnFace, 128, TColor(platform::sysColor(platform::COLOR_BTNFACE))}));

TGradBox* titleBar(TPanel& host) {
    auto* box = new TGradBox(&host);
    box->setBounds(0, 0, 484, 16);
    box->setTopColor(clSilver);
    box->setLastColor(clWhite);
    box->setGradStyle(gsBottomTop);
    box->setDrawOutLine(true);
    box->setOutLineColor(clGray);
    return box;
}

TEST(GradBox, TitleBarRunsFromNearlyWhiteToSilverInsideAGreyOutline) {
    auto host = makeHost(484, 214, clBlack);
    titleBar(*host);
    const QImage image = host->renderToImage();
    const TGradBox::ColorTable table = TGradBox::colorTable(clWhite, clSilver);
    // Row r shows entry 16 (r + 1); row 15, under the outline, entry 255.
    for (int row = 1; row <= 14; ++row)
        EXPECT_EQ(pixelAt(image, 100, row), table[std::size_t(16 * (row + 1))]) << row;
    EXPECT_EQ(pixelAt(image, 100, 1), grey(247));
    for (const QPoint outline : {QPoint(100, 0), QPoint(100, 15), QPoint(0, 8), QPoint(483, 8)})
        EXPECT_EQ(pixelAt(image, outline.x(), outline.y()), clGray)
            << outline.x() << "," << outline.y();
    EXPECT_EQ(pixelAt(image, 100, 16), clBlack); // nothing below the box
}

TEST(GradBox, TwelveRowsShowEveryTwentyFirstEntryAndTheEndColour) {
    auto host = makeHost(50, 12, clBlack);
    auto* box = new TGradBox(host.get());
    box->setBounds(0, 0, 50, 12);
    box->setTopColor(clBlack);
    box->setLastColor(clWhite);
    const QImage image = host->renderToImage();
    const int entries[] = {22, 43, 64, 85, 107, 128, 149, 170, 192, 213, 234, 255};
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(pixelAt(image, 25, row), grey(entries[row])) << row;
}

TEST(GradBox, ColumnsRunFromRightToLeftForRightLeft) {
    auto host = makeHost(255, 4);
    auto* box = new TGradBox(host.get());
    box->setBounds(0, 0, 255, 4);
    box->setTopColor(clBlack);
    box->setLastColor(clWhite);
    box->setGradStyle(gsRightLeft);
    const QImage image = host->renderToImage();
    // One column per band: band j at column j - 1, the start (the last colour) on the left.
    EXPECT_EQ(pixelAt(image, 0, 2), grey(254));
    EXPECT_EQ(pixelAt(image, 100, 2), grey(154));
    EXPECT_EQ(pixelAt(image, 254, 2), clBlack);
}

TEST(GradBox, WideBoxesLeaveNoGapBetweenBands) {
    auto host = makeHost(700, 3, clRed);
    auto* box = new TGradBox(host.get());
    box->setBounds(0, 0, 700, 3);
    box->setGradStyle(gsLeftRight);
    box->setTopColor(clBlack);
    box->setLastColor(clBlue);
    const QImage image = host->renderToImage();
    EXPECT_TRUE(pixelsOf(image, clRed, QRect(0, 0, 700, 3)).empty());
}

TEST(GradBox, NoGradientLeavesTheParentVisibleButDrawsTheOutline) {
    auto host = makeHost(40, 20, clRed);
    auto* box = new TGradBox(host.get());
    box->setBounds(0, 0, 40, 20);
    box->setGradStyle(gsNone);
    box->setDrawOutLine(true);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 20, 10), clRed);
    EXPECT_EQ(pixelAt(image, 0, 10), clBlack);
}

TEST(GradBox, LowShadowCopiesSitDepthPixelsDownAndRightOfTheCaption) {
    auto host = makeHost(120, 40, clWhite);
    auto* box = new TGradBox(host.get());
    box->setBounds(0, 0, 120, 40);
    box->setGradStyle(gsNone);
    box->setCaption(QStringLiteral("Kirimo 変換"));
    box->Font().setColor(clBlue);
    const QRect area(0, 0, 120, 40);
    const PixelSet text = pixelsOf(host->renderToImage(), clBlue, area);
    ASSERT_FALSE(text.empty());

    box->setFont3D(true);
    box->setStyle3D(fsLowShadow);
    box->setFontDepth(2);
    box->setBackFont(clRed);
    const QImage shadowed = host->renderToImage();
    EXPECT_EQ(pixelsOf(shadowed, clBlue, area), text);
    EXPECT_EQ(pixelsOf(shadowed, clRed, area), shiftedOutside(text, 2, 2));
}

TEST(GradBox, OnPaintRunsAfterEveryPaint) {
    auto host = makeHost(20, 20);
    auto* box = new TGradBox(host.get());
    box->setBounds(0, 0, 20, 20);
    int paints = 0;
    box->setOnPaint([&] { ++paints; });
    host->renderToImage();
    host->renderToImage();
    EXPECT_EQ(paints, 2);
}

// Red running into blue: each channel keeps its own byte. Rows show entries 16, 32, ... and
// the end colour; entry k is red 255 - k, blue k.
TEST(GradBox, RedAndBlueKeepTheirChannels) {
    auto host = makeHost(10, 16, clBlack);
    auto* box = new TGradBox(host.get());
    box->setBounds(0, 0, 10, 16);
    box->setTopColor(clRed);
    box->setLastColor(clBlue);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 5, 0), platform::rgb(239, 0, 16));
    EXPECT_EQ(pixelAt(image, 5, 7), platform::rgb(127, 0, 128));
    EXPECT_EQ(pixelAt(image, 5, 15), platform::rgb(0, 0, 255));
}

} // namespace
