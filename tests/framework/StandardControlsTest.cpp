#include "FrameworkTestSupport.h"
#include "core/Error.h"
#include "framework/Bevel.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Label.h"
#include "framework/Shape.h"
#include "platform/Clipboard.h"

#include <gtest/gtest.h>

namespace {

struct RoundShapeCase {
    int width;
    int height;
    int corner; // min(width, height) div 4
};

class RoundShapeTest : public ::testing::TestWithParam<RoundShapeCase> {};

TEST_P(RoundShapeTest, RoundRectangleUsesAQuarterOfTheShorterSide) {
    const auto [w, h, corner] = GetParam();
    auto host = makeHost(w, h, clWhite);
    auto* shape = new TShape(host.get());
    shape->setShape(stRoundRect);
    shape->Brush().setColor(clBlack);
    shape->Pen().setColor(clGray);
    shape->setBounds(0, 0, w, h);

    QImage expected(w, h, QImage::Format_RGB32);
    expected.fill(Qt::white);
    platform::Canvas canvas(expected);
    canvas.brush().setColor(clBlack);
    canvas.pen().setColor(clGray);
    canvas.roundRect(0, 0, w, h, corner, corner);

    const QImage image = host->renderToImage();
    EXPECT_EQ(image, expected);
    EXPECT_EQ(pixelAt(image, 0, 0), clWhite);
    EXPECT_EQ(pixelAt(image, w / 2, 0), clGray);
    EXPECT_EQ(pixelAt(image, w / 2, h - 1), clGray);
    EXPECT_EQ(pixelAt(image, w / 2, h / 2), clBlack);
}

INSTANTIATE_TEST_SUITE_P(Frames, RoundShapeTest,
                         ::testing::Values(RoundShapeCase{170, 148, 37}, RoundShapeCase{88, 77, 19},
                                           RoundShapeCase{20, 40, 5}));

TEST(Shape, OwnBrushFillsAndDefaultPenOutlines) {
    auto host = makeHost(30, 30, clWhite);
    auto* shape = new TShape(host.get());
    shape->setBounds(5, 5, 10, 10);
    shape->Brush().setColor(clRed);
    EXPECT_EQ(pixelAt(host->renderToImage(), 10, 10), clRed);
    EXPECT_EQ(pixelAt(host->renderToImage(), 5, 5), clBlack); // default pen
}

struct BevelPixel {
    int x; // negative: from the right edge (-1 is the last column)
    int y; // negative: from the bottom edge
    TColor color;
};

class RaisedFrameTest : public ::testing::TestWithParam<BevelPixel> {};

// A raised frame: the inner outline (1,1)-(W-1,H-1) in shadow, then the outer one
// (0,0)-(W-2,H-2) in highlight over it.
TEST_P(RaisedFrameTest, CornersAndEdges) {
    const int w = 124, h = 148;
    auto host = makeHost(w, h, clBlack);
    auto* bevel = new TBevel(host.get());
    bevel->setShape(bsFrame);
    bevel->setStyle(bsRaised);
    bevel->setBounds(0, 0, w, h);
    const BevelPixel p = GetParam();
    const int x = p.x < 0 ? w + p.x : p.x;
    const int y = p.y < 0 ? h + p.y : p.y;
    EXPECT_EQ(pixelAt(host->renderToImage(), x, y), painted(p.color)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, RaisedFrameTest,
    ::testing::Values(BevelPixel{0, 0, clBtnHighlight}, BevelPixel{-2, 0, clBtnHighlight},
                      BevelPixel{-1, 0, clBlack}, BevelPixel{-1, 1, clBtnShadow},
                      BevelPixel{-1, -1, clBtnShadow}, BevelPixel{-2, -1, clBtnShadow},
                      BevelPixel{0, -1, clBlack}, BevelPixel{1, -1, clBtnShadow},
                      BevelPixel{0, -2, clBtnHighlight}, BevelPixel{-2, -2, clBtnHighlight},
                      BevelPixel{1, 1, clBtnShadow}, BevelPixel{-2, 1, clBtnHighlight},
                      BevelPixel{1, -2, clBtnHighlight}, BevelPixel{60, 0, clBtnHighlight},
                      BevelPixel{60, 1, clBtnShadow}, BevelPixel{60, 2, clBlack},
                      BevelPixel{0, 70, clBtnHighlight}, BevelPixel{1, 70, clBtnShadow},
                      BevelPixel{-2, 70, clBtnHighlight}, BevelPixel{-1, 70, clBtnShadow},
                      BevelPixel{60, 70, clBlack}));

TEST(Bevel, LoweredBoxIsShadowTopLeftAndHighlightBottomRight) {
    auto host = makeHost(10, 10, clBlack);
    auto* bevel = new TBevel(host.get());
    bevel->setBounds(0, 0, 10, 10);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 0, 5), painted(clBtnShadow));
    EXPECT_EQ(pixelAt(image, 5, 0), painted(clBtnShadow));
    EXPECT_EQ(pixelAt(image, 9, 5), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 5, 9), painted(clBtnHighlight));
}

QImage fourColours() {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    picture.setPixel(1, 1, qRgb(255, 255, 255));
    return picture;
}

TEST(Image, StretchRepeatsPixelsWithoutBlending) {
    auto host = makeHost(80, 60, clBlack);
    auto* image = new TImage(host.get());
    image->setBounds(0, 0, 80, 60);
    image->setStretch(true);
    image->setPicture(fourColours());
    const QImage shot = host->renderToImage();
    EXPECT_EQ(pixelAt(shot, 0, 0), clRed);
    EXPECT_EQ(pixelAt(shot, 39, 29), clRed);
    EXPECT_EQ(pixelAt(shot, 40, 29), clLime);
    EXPECT_EQ(pixelAt(shot, 39, 30), clBlue);
    EXPECT_EQ(pixelAt(shot, 79, 59), clWhite);
}

TEST(Image, UnstretchedPictureSitsAtTheCornerOrInTheCentre) {
    auto host = makeHost(10, 10, clBlack);
    auto* image = new TImage(host.get());
    image->setBounds(0, 0, 10, 10);
    image->setPicture(fourColours());
    EXPECT_EQ(pixelAt(host->renderToImage(), 1, 1), clWhite);
    EXPECT_EQ(pixelAt(host->renderToImage(), 2, 2), clBlack);
    image->setCenter(true);
    EXPECT_EQ(pixelAt(host->renderToImage(), 4, 4), clRed);
    EXPECT_EQ(pixelAt(host->renderToImage(), 5, 5), clWhite);
}

TEST(Image, TransparentLeavesOutTheBottomLeftColour) {
    auto host = makeHost(2, 2, clGray);
    auto* image = new TImage(host.get());
    image->setBounds(0, 0, 2, 2);
    image->setTransparent(true);
    image->setPicture(fourColours()); // bottom-left is blue
    const QImage shot = host->renderToImage();
    EXPECT_EQ(pixelAt(shot, 0, 1), clGray);
    EXPECT_EQ(pixelAt(shot, 0, 0), clRed);
}

TEST(Image, DrawingOnAnEmptyPictureStartsFromAWhitePictureOfTheControlsSize) {
    TImage image;
    image.setBounds(0, 0, 12, 8);
    QImage& picture = image.Picture();
    EXPECT_EQ(picture.size(), QSize(12, 8));
    EXPECT_EQ(picture.pixel(5, 5), qRgb(255, 255, 255));
}

TEST(Image, TakesTheClipboardPictureOrKeepsItsOwn) {
    TImage image;
    platform::Clipboard::setImage(fourColours());
    image.setPictureFromClipboard();
    EXPECT_EQ(image.picture(), fourColours());

    platform::Clipboard::clear();
    EXPECT_THROW(image.setPictureFromClipboard(), core::Error);
    EXPECT_EQ(image.picture(), fourColours());
}

TEST(Label, AutoSizeFitsTheCaptionButNotWhileLoading) {
    TLabel label;
    label.setBounds(50, 0, 200, 40);
    label.beginLoading();
    label.setCaption(QStringLiteral("開始ﾌﾚｰﾑ"));
    EXPECT_EQ(label.Width(), 200);
    label.Loaded();

    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas canvas(scratch);
    canvas.font().assign(label.Font());
    EXPECT_EQ(label.Width(), canvas.textWidth(QStringLiteral("開始ﾌﾚｰﾑ")));
    EXPECT_EQ(label.Height(), canvas.textHeight(QStringLiteral("開始ﾌﾚｰﾑ")));
    EXPECT_EQ(label.Left(), 50);
}

TEST(Label, RightAlignedAutoSizeKeepsTheRightEdge) {
    TLabel label;
    label.setAutoSize(false);
    label.setBounds(10, 0, 200, 20);
    label.setAlignment(taRightJustify);
    label.setCaption(QStringLiteral("x"));
    label.setAutoSize(true);
    EXPECT_EQ(label.Left() + label.Width(), 210);
}

TEST(Label, OpaqueLabelFillsItsColourTransparentOneDoesNot) {
    auto host = makeHost(40, 20, clBlack);
    auto* label = new TLabel(host.get());
    label->setAutoSize(false);
    label->setBounds(0, 0, 40, 20);
    label->setColor(clNavy);
    EXPECT_EQ(pixelAt(host->renderToImage(), 39, 19), clNavy);
    label->setTransparent(true);
    EXPECT_EQ(pixelAt(host->renderToImage(), 39, 19), clBlack);
}

TEST(Panel, LoweredOuterBevelOfWidthTwo) {
    auto panel = makeHost(20, 10, clWhite);
    panel->setBevelOuter(bvLowered);
    panel->setBevelWidth(2);
    const QImage image = panel->renderToImage();
    EXPECT_EQ(pixelAt(image, 0, 0), painted(clBtnShadow));
    EXPECT_EQ(pixelAt(image, 1, 5), painted(clBtnShadow));
    EXPECT_EQ(pixelAt(image, 19, 0), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 18, 5), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 5, 9), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 5, 2), clWhite);
}

TEST(ImageList, StripsSplitAndPicturesDrawOpaque) {
    TImageList list;
    list.setWidth(2);
    list.setHeight(2);
    QImage strip(6, 2, QImage::Format_RGB32);
    strip.fill(qRgb(0, 0, 255));
    strip.setPixel(2, 0, qRgb(255, 0, 0));
    EXPECT_EQ(list.Add(strip), 0);
    EXPECT_EQ(list.Count(), 3);

    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    platform::Canvas canvas(target);
    list.Draw(canvas, 1, 1, 1);
    list.Draw(canvas, 0, 0, 7); // no such picture: nothing
    EXPECT_EQ(pixelAt(target, 1, 1), clRed);
    EXPECT_EQ(pixelAt(target, 2, 2), clBlue);
    EXPECT_EQ(pixelAt(target, 0, 0), clWhite);

    EXPECT_THROW(list.Add(QImage(3, 2, QImage::Format_RGB32)), core::Error);
    list.setWidth(4); // a new size empties the list
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
