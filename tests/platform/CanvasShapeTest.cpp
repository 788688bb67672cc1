#include "CanvasTestSupport.h"
#include "platform/CanvasRaster.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using canvastest::at;
using canvastest::blankImage;
using canvastest::picture;
using platform::Canvas;

const std::map<TColor, char> kLegend = {{clWhite, '.'}, {clGray, '#'}, {clSilver, 'o'}};

void useShapeColours(Canvas& canvas) {
    canvas.pen().setColor(clGray);
    canvas.brush().setColor(clSilver);
}

TEST(CanvasShapes, FillRectLeavesOutRightAndBottomAndTakesInvertedRects) {
    QImage image = blankImage(6, 5);
    Canvas canvas(image);
    canvas.brush().setColor(clSilver);
    canvas.fillRect(platform::gdiRect(1, 1, 4, 3));
    canvas.fillRect(platform::gdiRect(5, 4, 4, 3)); // right and bottom before left and top
    EXPECT_EQ(picture(image, image.rect(), kLegend), "......\n"
                                                     ".ooo..\n"
                                                     ".ooo..\n"
                                                     "....o.\n"
                                                     "......\n");
    canvas.brush().setStyle(bsClear);
    canvas.fillRect(image.rect());
    EXPECT_EQ(at(image, 0, 0), clWhite);
}

TEST(CanvasShapes, RectangleOutlinesTheOutermostPixelsAndFillsInside) {
    QImage image = blankImage(7, 6);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.rectangle(1, 1, 6, 5);
    EXPECT_EQ(picture(image, image.rect(), kLegend), ".......\n"
                                                     ".#####.\n"
                                                     ".#ooo#.\n"
                                                     ".#ooo#.\n"
                                                     ".#####.\n"
                                                     ".......\n");
}

TEST(CanvasShapes, RectangleWithoutPenFillsOnePixelLessRightAndBottom) {
    QImage image = blankImage(7, 6);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.pen().setStyle(psClear);
    canvas.rectangle(6, 5, 1, 1);
    EXPECT_EQ(picture(image, image.rect(), kLegend), ".......\n"
                                                     ".oooo..\n"
                                                     ".oooo..\n"
                                                     ".oooo..\n"
                                                     ".......\n"
                                                     ".......\n");
}

TEST(CanvasShapes, OutlineOnlyRectangleAndDegenerateSizes) {
    QImage image = blankImage(5, 4);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.brush().setStyle(bsClear);
    canvas.rectangle(0, 0, 5, 4);
    canvas.rectangle(2, 1, 2, 3); // no width: nothing
    canvas.brush().setColor(clSilver);
    canvas.rectangle(2, 1, 3, 3); // one column of pen
    EXPECT_EQ(picture(image, image.rect(), kLegend), "#####\n"
                                                     "#.#.#\n"
                                                     "#.#.#\n"
                                                     "#####\n");
}

TEST(CanvasShapes, XorRectangleTwiceRestoresEveryPixel) {
    QImage image = blankImage(9, 9, 0x336699);
    const QImage before = image;
    Canvas canvas(image);
    canvas.pen().setMode(pmXor);
    canvas.pen().setColor(0xFFFFFF);
    canvas.brush().setColor(0x00FF00);
    canvas.rectangle(1, 1, 8, 8);
    EXPECT_NE(image, before);
    canvas.rectangle(1, 1, 8, 8);
    EXPECT_EQ(image, before);
    canvas.roundRect(0, 0, 9, 9, 5, 5);
    canvas.roundRect(0, 0, 9, 9, 5, 5);
    EXPECT_EQ(image, before);
}

// Checks an outline against the ideal shape: the straight sides exactly, every arc pixel within
// half a pixel of its circle, each arc symmetric about both axes and its diagonal, one pixel per
// column where the arc is flat and one per row where it is steep.
void expectRoundRectOutline(const QImage& image, int width, int height, int corner) {
    const int r2 = corner - 1; // twice the radius between pixel centres
    const double radius = r2 / 2.0;
    const auto isPen = [&](int x, int y) { return at(image, x, y) == clGray; };
    int penPixels = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!isPen(x, y))
                continue;
            ++penPixels;
            // Mirrored pixels are pen too.
            EXPECT_TRUE(isPen(width - 1 - x, y)) << x << "," << y;
            EXPECT_TRUE(isPen(x, height - 1 - y)) << x << "," << y;
            // Distance to the nearest corner's circle centre (pixel centres at integers).
            const double cx = x < width / 2 ? radius : width - 1 - radius;
            const double cy = y < height / 2 ? radius : height - 1 - radius;
            const bool inCorner =
                (x < radius || x > width - 1 - radius) && (y < radius || y > height - 1 - radius);
            if (inCorner) {
                const double d = std::hypot(x - cx, y - cy);
                EXPECT_LE(std::abs(d - radius), 0.5) << x << "," << y;
                // The circle's own symmetry about its diagonal.
                const int mx = int(cx + (y - cy) * (x < cx ? 1 : -1) * (y < cy ? 1 : -1));
                const int my = int(cy + (x - cx) * (x < cx ? 1 : -1) * (y < cy ? 1 : -1));
                EXPECT_TRUE(isPen(mx, my)) << x << "," << y << " mirrors to " << mx << "," << my;
            } else {
                // Straight sides: only the outermost rows and columns.
                EXPECT_TRUE(x == 0 || y == 0 || x == width - 1 || y == height - 1) << x << "," << y;
            }
        }
    }
    // The flat part of the top-left arc has one pixel per column, the steep part one per row.
    const int half = int(radius);
    for (int x = 0; x <= half; ++x) {
        int count = 0;
        for (int y = 0; y <= half; ++y)
            count += isPen(x, y) ? 1 : 0;
        if (x >= int(std::ceil(radius - radius / std::sqrt(2.0)))) {
            EXPECT_EQ(count, 1) << "column " << x;
        }
    }
    EXPECT_GT(penPixels, 2 * (width + height) - 8 * corner);
}

TEST(CanvasShapes, RoundRectOfTheLargeThumbnailFrame) {
    QImage image = blankImage(170, 148);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.roundRect(0, 0, 170, 148, 37, 37);
    // The top-left corner: a 37-pixel circle, radius 18 between pixel centres.
    EXPECT_EQ(picture(image, QRect(0, 0, 24, 24), kLegend), "..............##########\n"
                                                            "...........###oooooooooo\n"
                                                            ".........##ooooooooooooo\n"
                                                            "........#ooooooooooooooo\n"
                                                            ".......#oooooooooooooooo\n"
                                                            "......#ooooooooooooooooo\n"
                                                            ".....#oooooooooooooooooo\n"
                                                            "....#ooooooooooooooooooo\n"
                                                            "...#oooooooooooooooooooo\n"
                                                            "..#ooooooooooooooooooooo\n"
                                                            "..#ooooooooooooooooooooo\n"
                                                            ".#oooooooooooooooooooooo\n"
                                                            ".#oooooooooooooooooooooo\n"
                                                            ".#oooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n"
                                                            "#ooooooooooooooooooooooo\n");
    expectRoundRectOutline(image, 170, 148, 37);
    // The straight sides run between the arcs: top row from x 14 to 155.
    EXPECT_EQ(at(image, 13, 0), clWhite);
    EXPECT_EQ(at(image, 14, 0), clGray);
    EXPECT_EQ(at(image, 155, 0), clGray);
    EXPECT_EQ(at(image, 156, 0), clWhite);
    EXPECT_EQ(at(image, 169, 74), clGray);
    EXPECT_EQ(at(image, 84, 147), clGray);
    EXPECT_EQ(at(image, 84, 74), clSilver);
}

TEST(CanvasShapes, RoundRectOfTheSmallThumbnailFrames) {
    QImage image = blankImage(88, 77);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.roundRect(0, 0, 88, 77, 19, 19);
    EXPECT_EQ(picture(image, QRect(0, 0, 14, 14), kLegend), ".......#######\n"
                                                            ".....##ooooooo\n"
                                                            "...##ooooooooo\n"
                                                            "..#ooooooooooo\n"
                                                            "..#ooooooooooo\n"
                                                            ".#oooooooooooo\n"
                                                            ".#oooooooooooo\n"
                                                            "#ooooooooooooo\n"
                                                            "#ooooooooooooo\n"
                                                            "#ooooooooooooo\n"
                                                            "#ooooooooooooo\n"
                                                            "#ooooooooooooo\n"
                                                            "#ooooooooooooo\n"
                                                            "#ooooooooooooo\n");
    // The lower-right corner mirrors it.
    EXPECT_EQ(picture(image, QRect(74, 63, 14, 14), kLegend), "ooooooooooooo#\n"
                                                              "ooooooooooooo#\n"
                                                              "ooooooooooooo#\n"
                                                              "ooooooooooooo#\n"
                                                              "ooooooooooooo#\n"
                                                              "ooooooooooooo#\n"
                                                              "ooooooooooooo#\n"
                                                              "oooooooooooo#.\n"
                                                              "oooooooooooo#.\n"
                                                              "ooooooooooo#..\n"
                                                              "ooooooooooo#..\n"
                                                              "ooooooooo##...\n"
                                                              "ooooooo##.....\n"
                                                              "#######.......\n");
    expectRoundRectOutline(image, 88, 77, 19);
}

TEST(CanvasShapes, RoundRectWithoutPenAndSquareCorners) {
    QImage image = blankImage(8, 6);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.pen().setStyle(psClear);
    canvas.roundRect(0, 0, 8, 6, 4, 4);
    // The inside of the outline's polygon: as with a rectangle without pen, the right column
    // and the bottom row (with its rounded corners) stay outside.
    EXPECT_EQ(picture(image, image.rect(), kLegend), ".ooooo..\n"
                                                     "ooooooo.\n"
                                                     "ooooooo.\n"
                                                     "ooooooo.\n"
                                                     "ooooooo.\n"
                                                     "........\n");
    QImage square = blankImage(8, 6);
    Canvas squareCanvas(square);
    useShapeColours(squareCanvas);
    squareCanvas.roundRect(0, 0, 8, 6, 2, 2);
    QImage plain = blankImage(8, 6);
    Canvas plainCanvas(plain);
    useShapeColours(plainCanvas);
    plainCanvas.rectangle(0, 0, 8, 6);
    EXPECT_EQ(square, plain);
}

TEST(CanvasShapes, EllipseIsSymmetricAndStaysInItsBox) {
    QImage image = blankImage(12, 9);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.ellipse(1, 1, 11, 8);
    EXPECT_EQ(picture(image, image.rect(), kLegend), "............\n"
                                                     "....####....\n"
                                                     "..##oooo##..\n"
                                                     ".#oooooooo#.\n"
                                                     ".#oooooooo#.\n"
                                                     ".#oooooooo#.\n"
                                                     "..##oooo##..\n"
                                                     "....####....\n"
                                                     "............\n");
}

TEST(CanvasShapes, PolygonFillsPixelCentresLeftEdgesInRightEdgesOut) {
    QImage image = blankImage(6, 6);
    Canvas canvas(image);
    useShapeColours(canvas);
    canvas.pen().setStyle(psClear);
    const std::array<QPoint, 3> triangle = {QPoint(0, 0), QPoint(6, 0), QPoint(0, 6)};
    canvas.polygon(triangle);
    EXPECT_EQ(picture(image, image.rect(), kLegend), "oooooo\n"
                                                     "ooooo.\n"
                                                     "oooo..\n"
                                                     "ooo...\n"
                                                     "oo....\n"
                                                     "o.....\n");
}

TEST(CanvasShapes, PolygonOutlineClosesTheFigure) {
    QImage image = blankImage(7, 5);
    Canvas canvas(image);
    useShapeColours(canvas);
    // The nose of a hint balloon: P1, tip, P1 + (w, 0).
    const std::array<QPoint, 3> nose = {QPoint(2, 0), QPoint(0, 4), QPoint(6, 0)};
    canvas.polygon(nose);
    EXPECT_EQ(picture(image, image.rect(), kLegend), "..#####\n"
                                                     ".#oo##.\n"
                                                     ".#o#...\n"
                                                     "###....\n"
                                                     "#......\n");
}

TEST(CanvasShapes, FillModeDecidesTheCentreOfAStar) {
    const std::array<QPoint, 5> star = {QPoint(10, 0), QPoint(16, 19), QPoint(0, 7), QPoint(20, 7),
                                        QPoint(4, 19)};
    for (const auto mode : {platform::FillMode::Alternate, platform::FillMode::Winding}) {
        QImage image = blankImage(21, 21);
        Canvas canvas(image);
        useShapeColours(canvas);
        canvas.pen().setStyle(psClear);
        canvas.setPolyFillMode(mode);
        canvas.polygon(star);
        EXPECT_EQ(at(image, 10, 10), mode == platform::FillMode::Winding ? clSilver : clWhite);
        EXPECT_EQ(at(image, 10, 3), clSilver);
    }
}

TEST(CanvasShapes, MaskModeWithAPatternBrushDarkensWhatLiesBeneath) {
    // The tracing shadow of a hint: white where column and row parity agree, grey elsewhere,
    // ANDed with the background.
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (x + y) % 2 ? qRgb(0x20, 0x20, 0x20) : qRgb(255, 255, 255));
    QImage image = blankImage(6, 3, 0x00FFFF);
    Canvas canvas(image);
    canvas.brush().setBitmap(pattern);
    canvas.pen().setStyle(psClear);
    canvas.pen().setMode(pmMask);
    canvas.rectangle(0, 0, 7, 4);
    EXPECT_EQ(picture(image, image.rect(), {{0x00FFFF, 'y'}, {0x002020, 'd'}}), "ydydyd\n"
                                                                                "dydydy\n"
                                                                                "ydydyd\n");
}

TEST(CanvasShapes, HatchBrushDrawsItsLinesOnlyWhenTransparent) {
    QImage image = blankImage(8, 8);
    Canvas canvas(image);
    canvas.brush().setColor(clGray);
    canvas.brush().setStyle(bsCross);
    EXPECT_EQ(canvas.bkMode(), platform::BkMode::Transparent);
    canvas.fillRect(QRect(0, 0, 8, 8));
    EXPECT_EQ(at(image, 4, 0), clGray);
    EXPECT_EQ(at(image, 0, 7), clGray);
    EXPECT_EQ(at(image, 0, 0), clWhite);
}

} // namespace
