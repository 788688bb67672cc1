#include "controls/SpinButton.h"

#include "controls/DrawTriangle.h"
#include "controls/OutOfResources.h"
#include "framework/ErrorReport.h"
#include "platform/Canvas.h"

#include <QEvent>
#include <cmath>
#include <exception>

namespace {

using Face = TSpinButton::Face;

// The shared repeat timer ticks every 50 ms: periods are whole multiples of it.
constexpr int kTimerTick = 50;
// The first repeat waits this much longer than the later ones.
constexpr int kFirstRepeatExtra = 200;
constexpr int kArrowSize = 3;

// Rounds to the nearest integer, halves to even.
int roundEven(double value) {
    return int(std::lrint(value));
}

void line(platform::Canvas& canvas, TColor color, QPoint from, QPoint to) {
    canvas.pen().setColor(color);
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
}

void polyline(platform::Canvas& canvas, TColor color, QPoint from, QPoint corner, QPoint to) {
    line(canvas, color, from, corner);
    canvas.lineTo(to.x(), to.y());
}

void drawFace(platform::Canvas& canvas, int w, int h, Face face) {
    const bool topPressed = face == Face::TopPressed;
    const bool bottomPressed = face == Face::BottomPressed;
    canvas.brush().setColor(clBtnFace);
    canvas.brush().setStyle(bsSolid);
    canvas.pen().setColor(clWindowFrame);
    canvas.pen().setWidth(1);
    canvas.pen().setStyle(psSolid);
    canvas.rectangle(0, 0, w, h);
    line(canvas, clWindowFrame, {-1, h}, {w, -1});

    polyline(canvas, topPressed ? clBtnShadow : clBtnHighlight, {1, h - 4}, {1, 1}, {w - 3, 1});
    if (!topPressed)
        line(canvas, clBtnShadow, {1, h - 3}, {w - 2, 0});

    polyline(canvas, bottomPressed ? clBtnHighlight : clBtnShadow, {2, h - 2}, {w - 2, h - 2},
             {w - 2, 1});
    line(canvas, bottomPressed ? clBtnShadow : clBtnHighlight, {2, h - 2}, {w - 1, 1});
    if (bottomPressed)
        line(canvas, clBtnShadow, {3, h - 2}, {w - 1, 2});

    canvas.brush().setStyle(bsClear);
    const bool enabled = face != Face::Disabled;
    const int up = topPressed ? 2 : 1;
    const int down = bottomPressed ? 0 : 1;
    DrawTriangle(canvas, roundEven(w / 4.0 - 2) + up, roundEven(h / 4.0 - 2) + up, kArrowSize,
                 clBlack, false, enabled);
    DrawTriangle(canvas, roundEven(3.0 * w / 4.0 - 2) - down, roundEven(3.0 * h / 4.0 - 2) - down,
                 kArrowSize, clBlack, true, enabled);
}

void requireWholeTicks(int period) {
    if (period % kTimerTick != 0)
        throw core::Error("Interval not compatible with MinInterval property!");
}

} // namespace

TSpinButton::TSpinButton(QWidget* parent) : TGraphicControl(parent) {
    setBounds(0, 0, 20, 20);
    repeatTimer_.setTimerType(Qt::PreciseTimer);
    connect(&repeatTimer_, &QTimer::timeout, this,
            [this] { runGuarded([this] { RepeatTimerTick(); }); });
}

TSpinButton::~TSpinButton() = default;

bool TSpinButton::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName == QLatin1String("OnTopClick"))
        onTopClick_ = std::move(handler);
    else if (eventName == QLatin1String("OnBottomClick"))
        onBottomClick_ = std::move(handler);
    else
        return TGraphicControl::bindEvent(eventName, std::move(handler));
    return true;
}

bool TSpinButton::inBottomHalf(int x, int y, int width, int height) {
    if (height <= 0)
        return false;
    return y > height - (double(width) / height) * x;
}

const QImage& TSpinButton::FaceStrip() {
    const int w = Width();
    const int h = Height();
    const QSize size(4 * w, h);
    if (strip_.size() == size || w <= 0 || h <= 0)
        return strip_;
    strip_ = QImage(size, QImage::Format_RGB32);
    for (const Face face : {Face::Normal, Face::TopPressed, Face::BottomPressed, Face::Disabled}) {
        platform::Canvas canvas(strip_);
        const int left = int(face) * w;
        canvas.setOrigin(QPoint(left, 0));
        canvas.setClipRect(QRect(left, 0, w, h));
        drawFace(canvas, w, h, face);
    }
    return strip_;
}

void TSpinButton::Paint(platform::Canvas& canvas) {
    if (!Enabled())
        tracking_ = false;
    const QImage& strip = FaceStrip();
    if (strip.isNull())
        return;
    canvas.bitBlt(0, 0, Width(), Height(), strip, int(face_) * Width(), 0);
}

void TSpinButton::EnabledChanged() {
    if (!Enabled())
        capture_ = false; // a disabled window loses the mouse capture
    face_ = Enabled() ? Face::Normal : Face::Disabled;
    Repaint();
}

void TSpinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled() || face_ != Face::Normal)
        return;
    capture_ = true;
    window()->installEventFilter(this);
    pressedHalf_ = Face::Normal;
    face_ = inBottomHalf(x, y, Width(), Height()) ? Face::BottomPressed : Face::TopPressed;
    try {
        step();
        pressedHalf_ = face_;
        Repaint();
        armRepeatTimer();
    } catch (...) {
        // The error report that follows takes the mouse away: leave nothing half pressed, or
        // the button would refuse every later press.
        cancelPress();
        throw;
    }
    tracking_ = true;
}

void TSpinButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (tracking_)
        showFace(faceAt(x, y));
}

void TSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft)
        return;
    capture_ = false;
    if (!tracking_)
        return;
    tracking_ = false;
    if (ClientRect().contains(x, y)) {
        pressedHalf_ = Face::Normal;
        releaseRepeatTimer();
        face_ = Face::Normal;
        Repaint();
        return;
    }
    // Released outside: the repeat timer stays for the next press. The face is normal already
    // after the move that left the button; make sure of it.
    showFace(Face::Normal);
}

bool TSpinButton::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == window() &&
        (type == QEvent::WindowBlocked || type == QEvent::WindowDeactivate)) {
        // The release would go elsewhere: without this a held button would keep stepping
        // after the user let go, once per tick, each step perhaps raising another message.
        watched->removeEventFilter(this);
        if (capture_ || tracking_)
            cancelPress();
    }
    return TGraphicControl::eventFilter(watched, event);
}

void TSpinButton::RepeatTimerTick() {
    try {
        requireWholeTicks(interval_);
        repeatTimer_.setInterval(interval_);
        if (face_ != Face::Normal && face_ != Face::Disabled && capture_)
            step();
    } catch (...) {
        releaseRepeatTimer();
        cancelPress();
        throw;
    }
}

bool TSpinButton::startRepeatTimer(int milliseconds) {
    repeatTimer_.start(milliseconds);
    return repeatTimer_.isActive();
}

void TSpinButton::step() {
    const TNotifyEvent& handler = face_ == Face::BottomPressed ? onBottomClick_ : onTopClick_;
    if (handler)
        handler();
}

void TSpinButton::armRepeatTimer() {
    const int firstDelay = interval_ + kFirstRepeatExtra;
    requireWholeTicks(firstDelay);
    if (!startRepeatTimer(firstDelay)) {
        releaseRepeatTimer();
        throw EOutOfResources("タイマーを取得できません");
    }
    timerAllocated_ = true;
}

void TSpinButton::releaseRepeatTimer() {
    repeatTimer_.stop();
    timerAllocated_ = false;
}

void TSpinButton::cancelPress() {
    tracking_ = false;
    capture_ = false;
    pressedHalf_ = Face::Normal;
    showFace(Enabled() ? Face::Normal : Face::Disabled);
}

void TSpinButton::showFace(Face face) {
    if (face == face_)
        return;
    face_ = face;
    Invalidate();
}

TSpinButton::Face TSpinButton::faceAt(int x, int y) const {
    if (!ClientRect().contains(x, y))
        return Face::Normal;
    if (inBottomHalf(x, y, Width(), Height()))
        return pressedHalf_ == Face::BottomPressed ? Face::BottomPressed : Face::Normal;
    return pressedHalf_ == Face::TopPressed ? Face::TopPressed : Face::Normal;
}
