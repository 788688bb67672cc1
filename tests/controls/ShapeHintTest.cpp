#include "controls/ShapeHint.h"

#include "controls/ShapeHintRegistration.h"
#include "controls/ShapeHintWindow.h"
#include "framework/FormLoader.h"
#include "framework/GraphicControl.h"
#include "framework/Panel.h"
#include "platform/Colors.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

TColor pixelOf(const QImage& image, int x, int y) {
    return platform::fromQRgb(image.pixel(x, y));
}

// The main window's balloon settings.
ShapeHintLook mainWindowLook() {
    ShapeHintLook look;
    look.color = clWhite;
    look.font.setHeight(-11);
    look.font.setColor(clBlack);
    look.shadowColor = 0x00202020;
    look.shadowDepth = 2;
    return look;
}

const QRect kScreen(0, 0, 1920, 1080);

TEST(ShapeHintDefaults, PublishedPropertiesStartAtTheirDefaults) {
    TShapeHint hint;
    EXPECT_TRUE(hint.Enabled());
    EXPECT_EQ(hint.Color(), clInfoBk);
    EXPECT_EQ(hint.BorderColor(), clBlack);
    EXPECT_EQ(hint.MaxWidth(), -4);
    EXPECT_EQ(hint.Position(), hpAboveRight);
    EXPECT_EQ(hint.Style(), hsNoseRoundRect);
    EXPECT_EQ(hint.Shadow()->Color(), clBtnShadow);
    EXPECT_EQ(hint.Shadow()->Depth(), 6);
    EXPECT_EQ(hint.Shadow()->Style(), hssSolid);
    EXPECT_EQ(hint.Font3D()->Style(), f3dNone);
    EXPECT_EQ(hint.Font().name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(hint.Font().size(), 8);
    EXPECT_EQ(hint.Font().color(), clInfoText);
}

TEST(ShapeHintForm, MainWindowSettingsLoadFromTheDescription) {
    registerShapeHintClasses();
    TPanel host;
    FormLoader::load(&host, QStringLiteral(R"(object Host: TPanel
  object ShapeHint1: TShapeHint
    Color = clWhite
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clBlack
    Font.Height = -11
    Font.Name = 'ＭＳ Ｐゴシック'
    Shadow.Color = 2105376
    Shadow.Depth = 2
  end
end)"),
                     QStringLiteral("test"));
    auto* hint = host.findChild<TShapeHint*>(QStringLiteral("ShapeHint1"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Shadow()->Color(), 0x00202020);
    EXPECT_EQ(hint->Shadow()->Depth(), 2);
    EXPECT_EQ(hint->Font().height(), -11);
    EXPECT_EQ(hint->Font().charset(), SHIFTJIS_CHARSET);
    EXPECT_EQ(TShapeHint::active(), hint);
}

TEST(ShapeHintLayout, WorkedExampleAboveRightOfThePointer) {
    // Text measured 90 x 12 gives a 96 x 18 text box and a 121 x 38 window.
    const TShapeHintWindow::Layout layout =
        TShapeHintWindow::layoutFor(QSize(96, 18), QPoint(500, 500), mainWindowLook(), kScreen);
    EXPECT_EQ(layout.size, QSize(121, 38));
    EXPECT_EQ(layout.position, hpAboveRight);
    EXPECT_EQ(layout.topLeft, QPoint(501, 461));
    EXPECT_EQ(layout.textRect, QRect(19, 4, 96, 18));
}

struct PlacementCase {
    const char* name;
    QPoint anchor;
    THintPosition expected;
    QPoint topLeft;
};

std::ostream& operator<<(std::ostream& out, const PlacementCase& c) {
    return out << c.name;
}

class ShapeHintPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(ShapeHintPlacement, TakesTheFirstSideThatFitsTheScreen) {
    const PlacementCase& c = GetParam();
    const TShapeHintWindow::Layout layout =
        TShapeHintWindow::layoutFor(QSize(96, 18), c.anchor, mainWindowLook(), kScreen);
    EXPECT_EQ(layout.position, c.expected);
    EXPECT_EQ(layout.topLeft, c.topLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Sides, ShapeHintPlacement,
    ::testing::Values(PlacementCase{"NearTheTop", {500, 10}, hpBelowLeft, {376, 11}},
                      PlacementCase{"TopLeftCorner", {5, 10}, hpBelowRight, {11, 11}},
                      PlacementCase{"NearTheRightEdge", {1900, 500}, hpBelowLeft, {1776, 501}},
                      PlacementCase{"BottomRightCorner", {1900, 1070}, hpAboveLeft, {1778, 1031}}));

TEST(ShapeHintLayout, WhereNoSideFitsTheLastSideTriedIsTaken) {
    const TShapeHintWindow::Layout layout = TShapeHintWindow::layoutFor(
        QSize(96, 18), QPoint(50, 25), mainWindowLook(), QRect(0, 0, 100, 50));
    EXPECT_EQ(layout.position, hpAboveLeft);
    EXPECT_EQ(layout.topLeft, QPoint(-72, -14));
    EXPECT_EQ(layout.textRect.topLeft(), QPoint(4, 4)); // drawn for the side taken
}

TEST(ShapeHintLayout, ShortHintStillGetsABodyFiftyFourPixelsWide) {
    const TShapeHintWindow::Layout layout =
        TShapeHintWindow::layoutFor(QSize(20, 18), QPoint(500, 500), mainWindowLook(), kScreen);
    // Body from x 15 to W - d.
    EXPECT_EQ(layout.size.width() - 2 - 15, 54);
}

TEST(ShapeHintLayout, EmptyTextMeasuresOneLineHigh) {
    const ShapeHintLook look = mainWindowLook();
    const QSize empty = TShapeHintWindow::measureText(QString(), look, 1920);
    const QSize one = TShapeHintWindow::measureText(QStringLiteral("x"), look, 1920);
    EXPECT_EQ(empty.height(), one.height());
    EXPECT_GT(empty.height(), 6);
}

TEST(ShapeHintLayout, LongHintWrapsAtAQuarterOfTheScreen) {
    const ShapeHintLook look = mainWindowLook();
    const QString text = QStringLiteral("切り出し開始フレーム ").repeated(20);
    const QSize box = TShapeHintWindow::measureText(text, look, 800);
    EXPECT_LE(box.width(), 200 + 6);
    EXPECT_GT(box.height(), 2 * 12);
}

TEST(ShapeHintBalloon, WhiteBodyWithOutlineNoseAndDarkShadow) {
    const ShapeHintLook look = mainWindowLook();
    const TShapeHintWindow::Layout layout =
        TShapeHintWindow::layoutFor(QSize(96, 18), QPoint(500, 500), look, kScreen);
    const QImage picture = TShapeHintWindow::compose(QStringLiteral(" "), layout, look);
    EXPECT_EQ(pixelOf(picture, 60, 10), clWhite);
    EXPECT_EQ(pixelOf(picture, 60, 0), clBlack);      // body outline, top edge
    EXPECT_EQ(pixelOf(picture, 40, 20), clWhite);     // no outline where the nose meets the body
    EXPECT_EQ(pixelOf(picture, 20, 28), clWhite);     // inside the nose
    EXPECT_EQ(pixelOf(picture, 119, 12), 0x00202020); // the shadow, right of the body
    EXPECT_EQ(qAlpha(picture.pixel(2, 2)), 0);        // the screen shows through
    EXPECT_EQ(qAlpha(picture.pixel(100, 37)), 0);
}

TEST(ShapeHintBalloon, TracingShadowLetsEveryOtherPixelThrough) {
    ShapeHintLook look = mainWindowLook();
    look.shadowStyle = hssTracing;
    const TShapeHintWindow::Layout layout =
        TShapeHintWindow::layoutFor(QSize(96, 18), QPoint(500, 500), look, kScreen);
    const QImage picture = TShapeHintWindow::compose(QString(), layout, look);
    EXPECT_EQ(pixelOf(picture, 119, 12), 0x00202020);
    EXPECT_EQ(qAlpha(picture.pixel(119, 13)), 0);
}

class Hinted : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

// A shown panel with one hinted control at its top-left, and a shape hint on a test clock.
struct Scene {
    Scene() {
        host.setBounds(0, 0, 100, 50);
        control = new Hinted(&host);
        control->setBounds(0, 0, 40, 20);
        control->setHint(QStringLiteral(" 閉じる|long help"));
        control->setShowHint(true);
        host.show();
        hint.setColor(clWhite);
        hint.setClock([this] { return now; });
    }
    void moveTo(QWidget* widget, QPoint local, QPoint global) {
        QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(global), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
    void at(qint64 ms) {
        now = ms;
        hint.checkSchedule();
    }
    bool showing() const { return hint.hintWindow() != nullptr && hint.hintWindow()->isVisible(); }

    TPanel host;
    Hinted* control;
    qint64 now = 0;
    TShapeHint hint;
};

TEST(ShapeHintEvents, BalloonShowsOnItsOwnTimingAndStaysPutWhileThePointerMoves) {
    Scene scene;
    int closed = 0;
    scene.hint.setOnCloseHintWindow([&] { ++closed; });
    scene.moveTo(scene.control, {2, 2}, {400, 300});
    // The toolkit's tooltip request shows nothing by itself.
    QHelpEvent toolTip(QEvent::ToolTip, QPoint(2, 2), QPoint(400, 300));
    QCoreApplication::sendEvent(scene.control, &toolTip);
    scene.at(499);
    EXPECT_FALSE(scene.showing());

    scene.at(500);
    ASSERT_TRUE(scene.showing());
    const TShapeHintWindow& window = *scene.hint.hintWindow();
    EXPECT_EQ(window.text(), QStringLiteral(" 閉じる"));
    EXPECT_TRUE(window.testAttribute(Qt::WA_TransparentForMouseEvents));
    const QPoint placed = window.pos();
    EXPECT_EQ(placed, QPoint(401, 300 - window.height() - 1));

    // Moves inside the control, and the same move passed on to the panel beneath, leave it.
    scene.now = 1000;
    scene.moveTo(scene.control, {12, 7}, {410, 305});
    scene.moveTo(&scene.host, {12, 7}, {410, 305});
    EXPECT_TRUE(scene.showing());
    EXPECT_EQ(window.pos(), placed);
    scene.at(2999);
    EXPECT_TRUE(scene.showing());
    scene.at(3000);
    EXPECT_FALSE(scene.showing());
    EXPECT_EQ(closed, 1);
}

TEST(ShapeHintEvents, KeyButtonWheelOrLeavingTheWindowHidesTheBalloon) {
    const std::vector<std::function<void(Scene&)>> hiders = {
        [](Scene& scene) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(&scene.host, &key);
        },
        [](Scene& scene) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(400, 300),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(scene.control, &press);
        },
        [](Scene& scene) {
            QWheelEvent wheel(QPointF(2, 2), QPointF(400, 300), QPoint(), QPoint(0, 120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(scene.control, &wheel);
        },
        [](Scene& scene) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(&scene.host, &leave);
        },
        [](Scene& scene) {
            scene.moveTo(&scene.host, {60, 30}, {460, 328});
        },
    };
    for (std::size_t i = 0; i < hiders.size(); ++i) {
        Scene scene;
        scene.moveTo(scene.control, {2, 2}, {400, 300});
        scene.at(500);
        ASSERT_TRUE(scene.showing());
        hiders[i](scene);
        EXPECT_FALSE(scene.showing()) << "hider " << i;
    }
}

TEST(ShapeHintEvents, NoBalloonWithoutShowHintOrWithTheShapeHintDisabled) {
    Scene scene;
    scene.control->setShowHint(false);
    scene.moveTo(scene.control, {2, 2}, {400, 300});
    scene.at(5000);
    EXPECT_EQ(scene.hint.hintWindow(), nullptr);

    scene.control->setShowHint(true);
    scene.hint.setEnabled(false);
    EXPECT_EQ(TShapeHint::active(), nullptr);
    scene.moveTo(scene.control, {3, 3}, {401, 301});
    scene.at(10000);
    EXPECT_EQ(scene.hint.hintWindow(), nullptr);
}

TEST(ShapeHintEvents, LastEnabledShapeHintIsInForce) {
    auto first = std::make_unique<TShapeHint>();
    TShapeHint second;
    EXPECT_EQ(TShapeHint::active(), &second);
    first->setEnabled(true);
    EXPECT_EQ(TShapeHint::active(), first.get());
    first.reset();
    EXPECT_EQ(TShapeHint::active(), nullptr);
}

} // namespace
