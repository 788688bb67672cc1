#include "framework/SpeedButton.h"

#include "FrameworkTestSupport.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <gtest/gtest.h>

namespace {

struct AcceleratorCase {
    const char* caption;
    char16_t key; // 0: none
};

class SpeedButtonAccelerator : public ::testing::TestWithParam<AcceleratorCase> {};

TEST_P(SpeedButtonAccelerator, IsTheCharacterAfterASingleAmpersand) {
    EXPECT_EQ(TSpeedButton::acceleratorOf(QString::fromUtf8(GetParam().caption)),
              QChar(GetParam().key));
}

INSTANTIATE_TEST_SUITE_P(SpeedButton, SpeedButtonAccelerator,
                         ::testing::Values(AcceleratorCase{"CLOSE (&X)", u'X'},
                                           AcceleratorCase{"&open", u'O'},
                                           AcceleratorCase{"a&&b", 0},
                                           AcceleratorCase{"a&&&b", u'B'},
                                           AcceleratorCase{"end&", 0}, AcceleratorCase{"", 0}));

TEST(SpeedButton, TheCaptionsAcceleratorBecomesAWindowShortcut) {
    auto host = makeHost(100, 40);
    auto* button = new TSpeedButton(host.get());
    button->setCaption(QStringLiteral("CLOSE (&X)"));
    QStringList keys;
    for (const QShortcut* shortcut : button->findChildren<QShortcut*>()) {
        keys << shortcut->key().toString();
        EXPECT_EQ(shortcut->context(), Qt::WindowShortcut);
    }
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"Alt+X", "X"}));
    button->setCaption(QStringLiteral("none"));
    EXPECT_TRUE(button->findChildren<QShortcut*>().isEmpty());
}

void press(QWidget& target, QPoint at, QEvent::Type type) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, at, target.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

TEST(SpeedButton, ClicksWhenReleasedOverItself) {
    auto host = makeHost(100, 40);
    auto* button = new TSpeedButton(host.get());
    button->setBounds(10, 10, 50, 16);
    int clicks = 0;
    button->setOnClick([&] { ++clicks; });
    press(*button, {5, 5}, QEvent::MouseButtonPress);
    EXPECT_TRUE(button->isPressed());
    press(*button, {5, 5}, QEvent::MouseButtonRelease);
    EXPECT_FALSE(button->isPressed());
    EXPECT_EQ(clicks, 1);
    press(*button, {5, 5}, QEvent::MouseButtonPress);
    press(*button, {80, 5}, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 1);
}

TEST(SpeedButton, AFlatButtonShowsItsEdgeOnlyUnderTheMouse) {
    auto host = makeHost(60, 30, clWhite);
    auto* button = new TSpeedButton(host.get());
    button->setFlat(true);
    button->setBounds(5, 5, 40, 12);
    QImage blank(60, 30, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(host->renderToImage(), blank);

    QEnterEvent enter(QPointF(3, 3), QPointF(8, 8), QPointF(8, 8));
    QApplication::sendEvent(button, &enter);
    ASSERT_TRUE(button->isHot());
    const QImage hot = host->renderToImage();
    EXPECT_EQ(pixelAt(hot, 5, 5), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(hot, 44, 16), painted(clBtnShadow));
    EXPECT_EQ(pixelAt(hot, 20, 10), clWhite); // the inside stays clear

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(host->renderToImage(), blank);
}

TEST(SpeedButton, ARaisedButtonSinksWhileHeld) {
    auto host = makeHost(60, 30, clWhite);
    auto* button = new TSpeedButton(host.get());
    button->setBounds(0, 0, 40, 20);
    const QImage up = host->renderToImage();
    EXPECT_EQ(pixelAt(up, 1, 1), painted(clBtnHighlight));
    EXPECT_EQ(pixelAt(up, 20, 10), painted(clBtnFace));
    press(*button, {5, 5}, QEvent::MouseButtonPress);
    const QImage down = host->renderToImage();
    EXPECT_EQ(pixelAt(down, 0, 0), painted(clBtnShadow));
}

} // namespace
