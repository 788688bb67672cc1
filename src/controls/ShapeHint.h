#pragma once

#include "controls/HintSchedule.h"
#include "controls/ShapeHintFont3D.h"
#include "controls/ShapeHintLook.h"
#include "controls/ShapeHintShadow.h"
#include "framework/Component.h"
#include "platform/TFont.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class TShapeHintWindow;

// Replaces every hint of the application: while enabled it follows the pointer over all widgets,
// decides when a hint shows and hides (HintSchedule) instead of the toolkit's own tooltip timing,
// and shows each hint as a speech balloon (a rounded rectangle with a nose pointing at the
// pointer, with a drop shadow) in its colours and font. Only one shape hint is in force at a
// time: the last one enabled.
class TShapeHint : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(TShapeHintFont3D* Font3D READ Font3D)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE setMaxWidth)
    Q_PROPERTY(shapehint::THintPosition Position READ Position WRITE setPosition)
    Q_PROPERTY(shapehint::THintStyle Style READ Style WRITE setStyle)
    Q_PROPERTY(TShapeHintShadow* Shadow READ Shadow)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

public:
    explicit TShapeHint(QObject* parent = nullptr);
    ~TShapeHint() override;

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    TColor Color() const { return color_; }
    void setColor(TColor color) { color_ = color; }
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color) { borderColor_ = color; }
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    TShapeHintFont3D* Font3D() const { return font3D_; }
    // Wrap width in pixels; negative: the screen width divided by its magnitude.
    int MaxWidth() const { return maxWidth_; }
    void setMaxWidth(int width) { maxWidth_ = width; }
    THintPosition Position() const { return position_; }
    void setPosition(THintPosition position) { position_ = position; }
    THintStyle Style() const { return style_; }
    void setStyle(THintStyle style) { style_ = style; }
    TShapeHintShadow* Shadow() const { return shadow_; }

    // Runs whenever a balloon window is hidden.
    const TNotifyEvent& OnCloseHintWindow() const { return onCloseHintWindow_; }
    void setOnCloseHintWindow(TNotifyEvent handler) { onCloseHintWindow_ = std::move(handler); }
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;
    // Font.Name, Font.Height, ...
    bool applyProperty(const QString& path, const QVariant& value) override;
    void Loaded() override;

    // The shape hint in force, or nullptr.
    static TShapeHint* active();

    // One balloon outside the hint machinery, at a screen point or pointing at the centre of a
    // control (with its hint when text is empty), kept for duration milliseconds.
    void ShowHint(const QString& text, int x, int y, int durationMs);
    void ShowControlHint(const QString& text, const QWidget* control, int durationMs);

    // The settings a balloon is drawn with.
    ShapeHintLook look() const;
    // The balloon of the application's hints, or nullptr before the first one.
    const TShapeHintWindow* hintWindow() const { return window_.get(); }
    void hideHint();

    // The milliseconds the hint timing runs on; a test sets its own clock and calls
    // checkSchedule() where the timer would have fired.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
    void checkSchedule();
    const HintSchedule& schedule() const { return schedule_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activate();
    void deactivate();
    void pointerMoved(QWidget* receiver, QPoint localPos, QPoint globalPos);
    void carryOut(HintSchedule::Action action);
    void showBalloon(QWidget* owner);
    void armScheduleTimer();

    bool enabled_ = true;
    TColor color_ = clInfoBk;
    TColor borderColor_ = clBlack;
    TFont font_;
    TShapeHintFont3D* font3D_; // owned through the QObject tree
    int maxWidth_ = -4;
    THintPosition position_ = hpAboveRight;
    THintStyle style_ = hsNoseRoundRect;
    TShapeHintShadow* shadow_; // owned through the QObject tree
    TNotifyEvent onCloseHintWindow_;

    std::unique_ptr<TShapeHintWindow> window_;
    std::unique_ptr<TShapeHintWindow> messageWindow_;
    HintSchedule schedule_;
    QPointer<QWidget> pointed_; // the schedule's control, guarded against its destruction
    QPoint pointer_;            // the pointer's last screen position
    std::function<qint64()> clock_;
    QTimer scheduleTimer_;
    QTimer messageTimer_;
};
