#include "skin/DxfProgressBar.h"

#include "SkinTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using platform::gdiRect;

// The conversion progress bar of the main window.
TdxfProgressBar* conversionBar(TPanel& host) {
    auto* bar = new TdxfProgressBar(&host);
    bar->setBounds(0, 0, 126, 6);
    bar->setStyle(sExRectangles);
    bar->setBeginColor(clNavy);
    bar->setEndColor(clWhite);
    bar->setColor(clBlack);
    return bar;
}

// The range gauge of the main window.
TdxfProgressBar* rangeGauge(TPanel& host) {
    auto* bar = new TdxfProgressBar(&host);
    bar->setBounds(0, 0, 465, 3);
    bar->setStyle(sExSolid);
    bar->setBeginColor(clBlue);
    bar->setEndColor(clAqua);
    bar->setColor(clBlack);
    bar->setTransparentGlyph(true);
    return bar;
}

QImage render(TdxfProgressBar& bar) {
    return bar.renderToImage();
}

TEST(DxfProgressBar, RangeGuardsRefuseMaxBelowMinAndMinAboveMax) {
    TdxfProgressBar bar(nullptr);
    bar.setMax(-5);
    EXPECT_EQ(bar.Max(), 100);
    bar.setMin(101);
    EXPECT_EQ(bar.Min(), 0);
    bar.setMin(100);
    EXPECT_EQ(bar.Min(), 100);
    bar.setMax(100);
    bar.setMax(99);
    EXPECT_EQ(bar.Max(), 100);
    bar.setPosition(250); // never clamped
    EXPECT_EQ(bar.Position(), 250);
}

TEST(DxfProgressBar, StepsMoveThePosition) {
    TdxfProgressBar bar(nullptr);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 10);
    bar.StepBy(-3);
    EXPECT_EQ(bar.Position(), 7);
    bar.setStep(0);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 7);
}

struct SpanCase {
    const char* name;
    TdxfPBStyle style;
    QSize size;
    int from;
    int to;
    QRect expected;
};

std::ostream& operator<<(std::ostream& out, const SpanCase& c) {
    return out << c.name;
}

class DxfProgressBarSpan : public ::testing::TestWithParam<SpanCase> {};

// Only the span between the old and the new position is repainted, with a margin.
TEST_P(DxfProgressBarSpan, PositionChangeInvalidatesTheChangedSpan) {
    const SpanCase& c = GetParam();
    auto host = makeHost(500, 50);
    auto* bar = new Counting<TdxfProgressBar>(host.get());
    bar->setBounds(0, 0, c.size.width(), c.size.height());
    bar->setStyle(c.style);
    bar->setPosition(c.from);
    bar->resetCounts();
    bar->setPosition(c.to);
    ASSERT_EQ(bar->rects.size(), 1u);
    EXPECT_EQ(bar->rects[0], c.expected);
    EXPECT_EQ(bar->invalidations, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, DxfProgressBarSpan,
    ::testing::Values(SpanCase{"Solid", sExSolid, {465, 3}, 0, 10, gdiRect(-2, 0, 48, 3)},
                      // Blocks widen the span by two thirds of the height plus 2 at each end.
                      SpanCase{"Blocks", sExRectangles, {126, 6}, 0, 50, gdiRect(-8, 0, 71, 6)},
                      SpanCase{"Backwards", sSolid, {200, 10}, 50, 25, gdiRect(48, 0, 102, 10)}));

TEST(DxfProgressBar, ConversionBarDrawsOnePixelBlocksInTheGradientOfTheirBoundary) {
    auto host = makeHost(126, 6, clBlack);
    auto* bar = conversionBar(*host);
    bar->setPosition(50);
    const QImage image = render(*bar);
    // Inner area 122 x 2 at (2, 2); pitch 3: blocks at columns 2, 5, ..., 59.
    for (int boundary = 5; boundary < 63; boundary += 3) {
        const TColor expected = TdxfProgressBar::gradientColor(clNavy, clWhite, boundary - 2, 122);
        for (int y : {2, 3})
            EXPECT_EQ(pixelAt(image, boundary - 3, y), expected) << boundary;
        EXPECT_EQ(pixelAt(image, boundary - 2, 2), clBlack) << boundary;
        EXPECT_EQ(pixelAt(image, boundary - 1, 2), clBlack) << boundary;
    }
    EXPECT_EQ(pixelAt(image, 62, 2), clBlack);
    // The lowered bevel: dark top and left, light bottom and right.
    EXPECT_EQ(pixelAt(image, 40, 0), painted(clBtnShadow));
    EXPECT_EQ(pixelAt(image, 0, 3), painted(clBtnShadow));
    EXPECT_EQ(pixelAt(image, 40, 5), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 125, 3), painted(clBtnHighlight));
}

TEST(DxfProgressBar, FullConversionBarFillsTheEndAsOneMoreBlock) {
    auto host = makeHost(126, 6, clBlack);
    auto* bar = conversionBar(*host);
    bar->setPosition(100);
    const QImage image = render(*bar);
    const TColor last = TdxfProgressBar::gradientColor(clNavy, clWhite, 120, 122);
    EXPECT_EQ(pixelAt(image, 122, 2), last);
    EXPECT_EQ(pixelAt(image, 123, 3), last);
    EXPECT_EQ(pixelAt(image, 121, 2), clBlack);
}

TEST(DxfProgressBar, RangeGaugeLinesCoverOnlyTheRowAboveTheLightBevelLine) {
    auto host = makeHost(465, 3, clBlack);
    auto* bar = rangeGauge(*host);
    bar->setPosition(50);
    const QImage image = render(*bar);
    // Bar right edge: 2 + 50 * 461 / 100 = 232.
    for (int x : {2, 100, 231})
        EXPECT_EQ(pixelAt(image, x, 2), TdxfProgressBar::gradientColor(clBlue, clAqua, x - 2, 461))
            << x;
    EXPECT_EQ(pixelAt(image, 232, 2), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 100, 1), clBlack);
    EXPECT_EQ(pixelAt(image, 100, 0), painted(clBtnShadow));
}

TEST(DxfProgressBar, PositionAtMinDrawsNoBar) {
    auto host = makeHost(126, 6, clBlack);
    auto* bar = conversionBar(*host);
    bar->setMin(10);
    bar->setPosition(10);
    const QImage image = render(*bar);
    EXPECT_EQ(pixelAt(image, 2, 2), clBlack);
}

TEST(DxfProgressBar, ProductOfALongMovieAndTheWidthDoesNotOverflow) {
    auto host = makeHost(465, 3, clBlack);
    auto* bar = rangeGauge(*host);
    bar->setMax(10'000'000);
    bar->setPosition(9'000'000); // 9e6 x 461 exceeds 32 bits; the bar is 414 long
    const QImage image = render(*bar);
    EXPECT_NE(pixelAt(image, 415, 2), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 416, 2), painted(clBtnHighlight));
}

TEST(DxfProgressBar, EmptyRangeNeitherDividesByZeroNorLosesTheRepaint) {
    auto host = makeHost(465, 3, clBlack);
    auto* bar = new Counting<TdxfProgressBar>(host.get());
    bar->setBounds(0, 0, 465, 3);
    bar->setPosition(7);
    bar->setMax(0);
    bar->setShowText(true);
    bar->resetCounts();
    bar->setPosition(0);
    EXPECT_GE(bar->invalidations, 1);
    EXPECT_EQ(bar->text(), QStringLiteral("0 %"));
    bar->renderToImage();
    bar->setPosition(3);
    EXPECT_EQ(bar->text(), QStringLiteral("100 %"));
    bar->renderToImage();
}

struct TextCase {
    int max;
    int position;
    TdxfShowTextStyle style;
    const char* expected;
};

class DxfProgressBarText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DxfProgressBarText, TextShowsPositionOrRoundedPercentage) {
    const TextCase& c = GetParam();
    TdxfProgressBar bar(nullptr);
    bar.setMax(c.max);
    bar.setPosition(c.position);
    bar.setShowTextStyle(c.style);
    EXPECT_EQ(bar.text(), QString::fromUtf8(c.expected));
}

// Halves go to the even neighbour.
INSTANTIATE_TEST_SUITE_P(Texts, DxfProgressBarText,
                         ::testing::Values(TextCase{200, 5, stsPercent, "2 %"},
                                           TextCase{200, 7, stsPercent, "4 %"},
                                           TextCase{100, 100, stsPercent, "100 %"},
                                           TextCase{100, 42, stsPosition, "42"}));

TEST(DxfProgressBar, GradientChannelsAreTruncated) {
    EXPECT_EQ(TdxfProgressBar::gradientColor(clBlue, clAqua, 1, 461), clBlue);
    EXPECT_EQ(TdxfProgressBar::gradientColor(clBlue, clAqua, 2, 461), TColor(0xFF0100));
    EXPECT_EQ(TdxfProgressBar::gradientColor(clNavy, clWhite, 61, 122), TColor(0xBF7F7F));
}

TEST(DxfProgressBar, GlyphSetsTheBarThickness) {
    TdxfProgressBar bar(nullptr);
    QImage glyph(5, 7, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    bar.setGlyph(glyph);
    EXPECT_EQ(bar.Height(), 11);
    bar.setOrientation(orVertical);
    bar.setGlyph(glyph);
    EXPECT_EQ(bar.Width(), 9);
}

// Regression: far above Max the bar's length overflowed; it drew nothing, or asked for a block
// billions of pixels wide and failed to allocate it.
class DxfProgressBarFarPosition : public ::testing::TestWithParam<int> {};

TEST_P(DxfProgressBarFarPosition, DrawsTheFullBar) {
    auto host = makeHost(465, 3, clBlack);
    auto* gauge = rangeGauge(*host);
    gauge->setPosition(GetParam());
    // Blue into aqua over 461 columns: the last line, offset 460, has green 254.
    EXPECT_EQ(pixelAt(render(*gauge), 462, 2), platform::rgb(0, 254, 255));

    auto blocksHost = makeHost(126, 6, clBlack);
    auto* blocks = conversionBar(*blocksHost);
    blocks->setPosition(GetParam());
    // The end block takes the colour at the last boundary, offset 120 of 122.
    EXPECT_EQ(pixelAt(render(*blocks), 123, 3), platform::rgb(250, 250, 252));
}

INSTANTIATE_TEST_SUITE_P(Positions, DxfProgressBarFarPosition,
                         ::testing::Values(470'000'000, 2'147'483'647));

// A vertical gradient bar grows upward from the bottom; its first line, at the bottom, takes
// offset 1 of the inner height.
TEST(DxfProgressBar, VerticalGradientBarRisesFromTheBottom) {
    auto host = makeHost(10, 54, clBlack);
    auto* bar = new TdxfProgressBar(host.get());
    bar->setBounds(0, 0, 10, 54);
    bar->setOrientation(orVertical);
    bar->setStyle(sExSolid);
    bar->setColor(clBlack);
    bar->setBeginColor(clRed);
    bar->setEndColor(clBlue);
    bar->setPosition(50);
    const QImage image = render(*bar);
    // Inner area 6 x 50 from row 2 to 51; the bar is 25 rows high: rows 27 to 51.
    EXPECT_EQ(pixelAt(image, 4, 51), platform::rgb(249, 0, 5));
    EXPECT_EQ(pixelAt(image, 4, 27), platform::rgb(127, 0, 127));
    EXPECT_EQ(pixelAt(image, 4, 26), clBlack);
}

// Tiles are whole glyphs; the end tile is added only at Position equal to Max.
struct PictureCase {
    int position;
    int lastTiledColumn;
    int firstBareColumn; // -1: the tiles reach the control's edge
};

class DxfProgressBarPictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(DxfProgressBarPictures, TileWholeGlyphs) {
    const PictureCase& c = GetParam();
    auto host = makeHost(30, 6, clBlack);
    auto* bar = new TdxfProgressBar(host.get());
    bar->setBounds(0, 0, 30, 6);
    bar->setStyle(sPictures);
    bar->setColor(clBlack);
    bar->setTransparentGlyph(false);
    QImage glyph(4, 2, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    bar->setGlyph(glyph);
    bar->setPosition(c.position);
    const QImage image = render(*bar);
    // Inner area 26 x 2 from column 2.
    EXPECT_EQ(pixelAt(image, 2, 2), clRed);
    EXPECT_EQ(pixelAt(image, c.lastTiledColumn, 3), clRed);
    if (c.firstBareColumn >= 0) {
        EXPECT_EQ(pixelAt(image, c.firstBareColumn, 2), clBlack);
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, DxfProgressBarPictures,
                         ::testing::Values(PictureCase{50, 13, 14}, PictureCase{100, 29, -1},
                                           PictureCase{101, 25, 26}));

// The text is drawn without a background box, centred in the control: where it lies beyond the
// bar's end, the control's own colour stays around its strokes.
TEST(DxfProgressBar, TextIsCentredWithoutABackgroundBox) {
    auto host = makeHost(120, 20, clBlack);
    auto* bar = new TdxfProgressBar(host.get());
    bar->setBounds(0, 0, 120, 20);
    bar->setBevelOuter(skin::bvNone);
    bar->setStyle(sSolid);
    bar->setBeginColor(clBlue);
    bar->setColor(clBlack);
    bar->Font().setColor(clWhite);
    bar->setShowText(true);
    bar->setShowTextStyle(stsPosition);
    bar->setMax(1000);
    bar->setPosition(500);
    const QImage image = render(*bar);
    const PixelSet text = pixelsOf(image, clWhite, QRect(0, 0, 120, 20));
    ASSERT_FALSE(text.empty());
    int left = 120, right = 0;
    for (const auto& [x, y] : text) {
        left = std::min(left, x);
        right = std::max(right, x);
    }
    EXPECT_LE(std::abs(left + right - 119), 3) << left << ".." << right;
    EXPECT_LT(left, 60);
    EXPECT_TRUE(pixelsOf(image, clBlue, QRect(60, 0, 60, 20)).empty());
}

} // namespace
