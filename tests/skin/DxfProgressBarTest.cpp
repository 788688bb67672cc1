#include "skin/DxfProgressBar.h"

#include "SkinTestSupport.h"

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

} // namespace
