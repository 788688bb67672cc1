#include "FrameworkTestSupport.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

// Paints one pixel at its logical (0, 0) and floods far beyond its bounds.
class SpillControl : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Paint(platform::Canvas& canvas) override {
        canvas.brush().setColor(clGreen);
        canvas.fillRect(QRect(-100, -100, 1000, 1000));
        canvas.setPixel(0, 0, clYellow);
    }
};

// Inverts what lies beneath it.
class InvertControl : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Paint(platform::Canvas& canvas) override {
        canvas.patBlt(0, 0, Width(), Height(), platform::DSTINVERT);
    }
};

TEST(Painting, WindowlessControlsPaintInFormOrderOverTheBackground) {
    auto host = makeHost(50, 10, clWhite);
    auto* first = new FillControl(host.get(), clRed);
    first->setBounds(0, 0, 30, 10);
    auto* second = new FillControl(host.get(), clBlue);
    second->setBounds(20, 0, 20, 10);

    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 10, 5), clRed);
    EXPECT_EQ(pixelAt(image, 25, 5), clBlue); // the later control wins the overlap
    EXPECT_EQ(pixelAt(image, 45, 5), clWhite);

    first->raise(); // z-order is paint order
    EXPECT_EQ(pixelAt(host->renderToImage(), 25, 5), clRed);
}

TEST(Painting, HiddenControlsAreNotPainted) {
    auto host = makeHost(20, 10, clWhite);
    auto* control = new FillControl(host.get(), clRed);
    control->setBounds(0, 0, 20, 10);
    control->setVisible(false);
    EXPECT_EQ(pixelAt(host->renderToImage(), 5, 5), clWhite);
    EXPECT_EQ(control->paints, 0);
}

TEST(Painting, EachControlDrawsAtItsPositionAndOnlyInsideItsBounds) {
    auto host = makeHost(40, 30, clWhite);
    auto* control = new SpillControl(host.get());
    control->setBounds(10, 5, 8, 6);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 10, 5), clYellow);
    EXPECT_EQ(pixelAt(image, 17, 10), clGreen);
    for (const QPoint outside : {QPoint(9, 5), QPoint(18, 5), QPoint(10, 4), QPoint(10, 11)})
        EXPECT_EQ(pixelAt(image, outside.x(), outside.y()), clWhite)
            << outside.x() << "," << outside.y();
}

TEST(Painting, RasterOperationsSeeThePixelsOfEarlierControls) {
    auto host = makeHost(20, 10, clWhite);
    auto* below = new FillControl(host.get(), clRed);
    below->setBounds(0, 0, 10, 10);
    auto* inverter = new InvertControl(host.get());
    inverter->setBounds(5, 0, 15, 10);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 2, 2), clRed);
    EXPECT_EQ(pixelAt(image, 7, 2), clAqua);   // inverted red
    EXPECT_EQ(pixelAt(image, 15, 2), clBlack); // inverted white
}

TEST(Painting, WindowedChildrenLieAboveWindowlessSiblingsCreatedLater) {
    auto host = makeHost(30, 10, clWhite);
    auto* panel = new TPanel(host.get());
    panel->setBevelOuter(bvNone);
    panel->setColor(clGreen);
    panel->setBounds(10, 0, 10, 10);
    auto* control = new FillControl(host.get(), clRed);
    control->setBounds(0, 0, 30, 10);

    EXPECT_EQ(host->childAt(15, 5), panel);
    EXPECT_EQ(host->childAt(5, 5), control);
    const QImage screen = host->grab().toImage();
    EXPECT_EQ(pixelAt(screen, 15, 5), clGreen);
    EXPECT_EQ(pixelAt(screen, 5, 5), clRed);
}

TEST(Painting, RepaintPaintsAtOnceInvalidateLater) {
    auto host = makeHost(30, 10, clWhite);
    auto* control = new FillControl(host.get(), clRed);
    control->setBounds(0, 0, 10, 10);
    host->show();
    QApplication::processEvents();
    QApplication::processEvents();

    const int before = control->paints;
    control->Repaint();
    EXPECT_EQ(control->paints, before + 1);

    control->Invalidate();
    EXPECT_EQ(control->paints, before + 1);
    QApplication::processEvents();
    EXPECT_EQ(control->paints, before + 2);
}

} // namespace
