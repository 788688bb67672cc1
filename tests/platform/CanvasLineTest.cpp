#include "CanvasTestSupport.h"
#include "platform/CanvasRaster.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

using canvastest::at;
using canvastest::blankImage;
using canvastest::inked;
using platform::Canvas;

struct LineCase {
    const char* name;
    QPoint from;
    QPoint to;
    std::vector<QPoint> pixels;
};

class LinePixelsTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LinePixelsTest, StartIncludedEndLeftOutHalfwayGoesUpOrLeft) {
    const LineCase& t = GetParam();
    EXPECT_EQ(platform::raster::linePixels(t.from, t.to), t.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinePixelsTest,
    ::testing::Values(
        LineCase{"Horizontal", {0, 0}, {5, 0}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
        LineCase{"Leftward", {3, 2}, {0, 2}, {{3, 2}, {2, 2}, {1, 2}}},
        LineCase{"Upward", {1, 2}, {1, 0}, {{1, 2}, {1, 1}}}, LineCase{"Point", {4, 4}, {4, 4}, {}},
        LineCase{"Diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        LineCase{"AntiDiagonal", {-1, 3}, {2, 0}, {{-1, 3}, {0, 2}, {1, 1}}},
        // Halfway between two rows: the upper pixel, whichever way the line runs.
        LineCase{"HalfSlope", {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        LineCase{"HalfSlopeReversed", {4, 2}, {0, 0}, {{4, 2}, {3, 1}, {2, 1}, {1, 0}}},
        LineCase{"HalfSlopeRising", {0, 2}, {4, 0}, {{0, 2}, {1, 1}, {2, 1}, {3, 0}}},
        // Halfway between two columns: the left pixel.
        LineCase{"Steep", {0, 0}, {2, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        LineCase{"SteepReversed", {2, 4}, {0, 0}, {{2, 4}, {1, 3}, {1, 2}, {0, 1}}},
        LineCase{"Third", {0, 0}, {6, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
        // The spin button's diagonal, from outside the image to outside it.
        LineCase{"SpinDiagonal", {-1, 4}, {4, -1}, {{-1, 4}, {0, 3}, {1, 2}, {2, 1}, {3, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasLines, LineToMovesThePenAndPolylineLeavesOutOnlyItsLastPoint) {
    QImage image = blankImage(8, 8);
    Canvas canvas(image);
    canvas.moveTo(1, 1);
    canvas.lineTo(4, 1);
    EXPECT_EQ(canvas.penPos(), QPoint(4, 1));
    canvas.lineTo(4, 4);
    EXPECT_EQ(inked(image, clWhite),
              (std::set<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));

    QImage second = blankImage(8, 8);
    Canvas other(second);
    const std::array<QPoint, 3> points = {QPoint(1, 1), QPoint(4, 1), QPoint(4, 4)};
    other.polyline(points);
    EXPECT_EQ(second, image);
}

TEST(CanvasLines, PenModeMixesAndAClearPenDrawsNothing) {
    QImage image = blankImage(6, 2, 0x0F0F0F);
    Canvas canvas(image);
    canvas.pen().setColor(0x00FF00);
    canvas.pen().setMode(pmXor);
    canvas.moveTo(0, 0);
    canvas.lineTo(3, 0);
    EXPECT_EQ(at(image, 0, 0), 0x0FF00F);
    EXPECT_EQ(at(image, 3, 0), 0x0F0F0F);
    canvas.moveTo(0, 0);
    canvas.lineTo(3, 0);
    EXPECT_EQ(at(image, 1, 0), 0x0F0F0F);

    canvas.pen().setMode(pmNot);
    canvas.moveTo(0, 1);
    canvas.lineTo(1, 1);
    EXPECT_EQ(at(image, 0, 1), 0xF0F0F0);

    canvas.pen().setMode(pmCopy);
    canvas.pen().setStyle(psClear);
    canvas.moveTo(0, 1);
    canvas.lineTo(6, 1);
    EXPECT_EQ(at(image, 2, 1), 0x0F0F0F);
}

TEST(CanvasLines, DottedPenAlternatesThreeOnThreeOffWithAnOpaqueGap) {
    QImage image = blankImage(12, 1);
    Canvas canvas(image);
    canvas.pen().setStyle(psDot);
    canvas.pen().setColor(clBlack);
    canvas.setBkColor(clRed);
    canvas.setBkMode(platform::BkMode::Opaque);
    canvas.moveTo(0, 0);
    canvas.lineTo(12, 0);
    EXPECT_EQ(canvastest::picture(image, image.rect(), {{clBlack, '#'}, {clRed, 'r'}}),
              "###rrr###rrr\n");
}

TEST(CanvasLines, OriginAndClipPlaceAChildControlInItsParent) {
    QImage image = blankImage(10, 10);
    Canvas canvas(image);
    canvas.setOrigin(QPoint(3, 2));
    canvas.setClipRect(QRect(3, 2, 4, 4));
    canvas.moveTo(-2, 1);
    canvas.lineTo(8, 1);
    EXPECT_EQ(inked(image, clWhite),
              (std::set<std::pair<int, int>>{{3, 3}, {4, 3}, {5, 3}, {6, 3}}));
    EXPECT_EQ(canvas.pixel(0, 1), clBlack);
    EXPECT_EQ(canvas.pixel(5, 1), platform::CLR_INVALID);
    canvas.setPixel(1, 0, clRed);
    EXPECT_EQ(at(image, 4, 2), clRed);
    canvas.resetClip();
    EXPECT_EQ(canvas.clipRect(), image.rect());
}

// The frame bevel of the main window: two outlines of two polylines each, shadow first, then
// highlight one pixel up and left. Every pixel of the control and its surroundings is checked
// against the sides written out by hand.
TEST(CanvasLines, RaisedFrameBevelFromFourPolylines) {
    constexpr int kLeft = 180;
    constexpr int kTop = 14;
    constexpr int W = 124;
    constexpr int H = 148;
    QImage image = blankImage(484, 214, clBlack);
    Canvas canvas(image);
    canvas.setOrigin(QPoint(kLeft, kTop));
    canvas.setClipRect(QRect(kLeft, kTop, W, H));
    const auto outline = [&](TColor color, int l, int t, int r, int b) {
        canvas.pen().setColor(color);
        const std::array<QPoint, 3> first = {QPoint(l, b), QPoint(l, t), QPoint(r, t)};
        const std::array<QPoint, 3> second = {QPoint(r, t), QPoint(r, b), QPoint(l, b)};
        canvas.polyline(first);
        canvas.polyline(second);
    };
    outline(clBtnShadow, 1, 1, W - 1, H - 1);
    outline(clBtnHighlight, 0, 0, W - 2, H - 2);

    const auto expected = [&](int x, int y) -> TColor {
        const bool highlight =
            (x == 0 && y >= 0 && y <= H - 2) || (y == 0 && x >= 0 && x <= W - 3) ||
            (x == W - 2 && y >= 0 && y <= H - 3) || (y == H - 2 && x >= 1 && x <= W - 2);
        const bool shadow = (x == 1 && y >= 1 && y <= H - 1) || (y == 1 && x >= 1 && x <= W - 2) ||
                            (x == W - 1 && y >= 1 && y <= H - 2) ||
                            (y == H - 1 && x >= 2 && x <= W - 1);
        if (highlight)
            return clWhite;
        return shadow ? clGray : clBlack;
    };
    for (int y = -2; y < H + 2; ++y)
        for (int x = -2; x < W + 2; ++x)
            ASSERT_EQ(at(image, kLeft + x, kTop + y), expected(x, y)) << x << "," << y;
    // Corners the two outlines leave open.
    EXPECT_EQ(at(image, kLeft + W - 1, kTop), clBlack);
    EXPECT_EQ(at(image, kLeft, kTop + H - 1), clBlack);
}

} // namespace
