#pragma once

#include "framework/GraphicControl.h"

#include <QImage>
#include <QTimer>
#include <cstdint>

// The square two-way button of a spin edit: the triangle above the diagonal from the bottom-left
// to the top-right corner steps up, the one below steps down. A left press steps at once, again
// Interval + 200 ms later and then every Interval ms while the press stays on its half; sliding
// onto the other half or off the button pauses the repeat, sliding back resumes it. It never
// takes the keyboard focus.
//
// The four faces (normal, top pressed, bottom pressed, disabled) are rendered once into a strip
// four faces wide and copied on each paint; the strip is rendered again only after a resize.
class TSpinButton : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ushort Interval READ Interval WRITE setInterval)

public:
    // The face shown; also the face's index in the strip.
    enum class Face : std::uint8_t { Normal = 0, TopPressed = 1, BottomPressed = 2, Disabled = 3 };

    explicit TSpinButton(QWidget* parent = nullptr);
    ~TSpinButton() override;

    // The auto-repeat period in milliseconds; a whole multiple of 50.
    ushort Interval() const { return interval_; }
    void setInterval(ushort milliseconds) { interval_ = milliseconds; }

    const TNotifyEvent& OnTopClick() const { return onTopClick_; }
    void setOnTopClick(TNotifyEvent handler) { onTopClick_ = std::move(handler); }
    const TNotifyEvent& OnBottomClick() const { return onBottomClick_; }
    void setOnBottomClick(TNotifyEvent handler) { onBottomClick_ = std::move(handler); }
    // OnTopClick, OnBottomClick and the control events.
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;

    Face FaceState() const { return face_; }
    // The half the current press began on (Normal when none).
    Face PressedHalf() const { return pressedHalf_; }
    // A left press began on the button and has not been released.
    bool Tracking() const { return tracking_; }
    bool HasRepeatTimer() const { return timerAllocated_; }
    // Milliseconds until the repeat timer's next tick, as last armed.
    int RepeatPeriod() const { return repeatTimer_.interval(); }

    // Whether (x, y) lies below the diagonal of a width x height button; points on the diagonal
    // belong to the top half.
    static bool inBottomHalf(int x, int y, int width, int height);

    // The four faces side by side, face k at x = k * Width().
    const QImage& FaceStrip();

    // One tick of the repeat timer: later ticks come every Interval ms; steps while pressed.
    void RepeatTimerTick();

    void Paint(platform::Canvas& canvas) override;

protected:
    void EnabledChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // Watches the window while pressed: a modal window or a switch away takes the mouse.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Starts (or restarts) the repeat timer with its first delay; false when the platform has
    // no timer to give.
    virtual bool startRepeatTimer(int milliseconds);

private:
    void step();
    void armRepeatTimer();
    void releaseRepeatTimer();
    // Back to the normal face with no press under way.
    void cancelPress();
    void showFace(Face face);
    Face faceAt(int x, int y) const;

    Face face_ = Face::Normal;
    Face pressedHalf_ = Face::Normal;
    bool tracking_ = false;
    bool capture_ = false;
    bool timerAllocated_ = false;
    ushort interval_ = 100;
    QTimer repeatTimer_;
    QImage strip_;
    TNotifyEvent onTopClick_;
    TNotifyEvent onBottomClick_;
};
