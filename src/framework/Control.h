#pragma once

#include "framework/Component.h"
#include "framework/ControlTypes.h"
#include "platform/Colors.h"
#include "platform/TFont.h"

#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

namespace platform {
class Canvas;
}
class TWinControl;

using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TShiftState shift, int x, int y)>;

// The common base of every control: bounds, enabled and visible state, hint, cursor, colour,
// font, caption, mouse notifications and painting through a canvas. Subclasses derive from
// TGraphicControl (windowless, painted by the parent) or TWinControl (a window of its own).
//
// Setters change only what really changed. Exceptions that escape a handler run from the
// event loop go to the standard error report; the control goes on.
class TControl : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE setParentShowHint)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE setParentFont)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(framework::TCursor Cursor READ Cursor WRITE setCursor)
    Q_PROPERTY(framework::TAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

public:
    explicit TControl(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~TControl() override;

    // Bounds, in the parent's client coordinates (screen coordinates for a window).
    int Left() const { return pos().x(); }
    int Top() const { return pos().y(); }
    virtual int Width() const { return width(); }
    virtual int Height() const { return height(); }
    void setLeft(int left) { setBounds(left, Top(), Width(), Height()); }
    void setTop(int top) { setBounds(Left(), top, Width(), Height()); }
    void setWidth(int width) { setBounds(Left(), Top(), width, Height()); }
    void setHeight(int height) { setBounds(Left(), Top(), Width(), height); }
    virtual void setBounds(int left, int top, int width, int height);
    QRect BoundsRect() const { return QRect(Left(), Top(), Width(), Height()); }
    QRect ClientRect() const { return QRect(0, 0, width(), height()); }

    // The control's own Enabled setting; a disabled parent does not change it.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool Visible() const;
    void setVisible(bool visible) override;

    const QString& Hint() const { return hint_; }
    void setHint(const QString& hint);
    bool ShowHint() const { return showHint_; }
    void setShowHint(bool show);
    bool ParentShowHint() const { return parentShowHint_; }
    void setParentShowHint(bool fromParent);
    // Whether this control's hint is shown: ShowHint, or the parent's when ParentShowHint.
    bool effectiveShowHint() const;
    // The hint's short part: the text before any "|".
    QString hintText() const;

    TColor Color() const { return color_; }
    void setColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void setParentColor(bool fromParent);

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // Copies the values into the owned font.
    void setFont(const TFont& font) { font_.assign(font); }
    bool ParentFont() const { return parentFont_; }
    void setParentFont(bool fromParent);

    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);

    TCursor Cursor() const { return cursor_; }
    void setCursor(TCursor cursor);

    TAlign Align() const { return align_; }
    void setAlign(TAlign align);

    // Repaint later (from the event loop) and repaint at once (synchronously).
    virtual void Invalidate();
    virtual void Invalidate(const QRect& clientRect);
    virtual void Repaint();

    // Windowless controls are painted by their parent window.
    virtual bool windowless() const { return false; }
    // Mouse input passes through to what lies beneath.
    void setMouseTransparent(bool transparent);
    bool mouseTransparent() const { return testAttribute(Qt::WA_TransparentForMouseEvents); }

    TWinControl* parentControl() const;

    // Draws the control with the canvas's logical (0, 0) at its top-left corner. The canvas is
    // fresh for every paint: default pen and brush, the control's font.
    virtual void Paint(platform::Canvas& canvas);

    // Runs OnClick; the base mouse handling calls it for a left press released inside.
    virtual void Click();
    virtual void DblClick();

    // Events.
    const TNotifyEvent& OnClick() const { return onClick_; }
    void setOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
    const TNotifyEvent& OnDblClick() const { return onDblClick_; }
    void setOnDblClick(TNotifyEvent handler) { onDblClick_ = std::move(handler); }
    const TNotifyEvent& OnMouseEnter() const { return onMouseEnter_; }
    void setOnMouseEnter(TNotifyEvent handler) { onMouseEnter_ = std::move(handler); }
    const TNotifyEvent& OnMouseLeave() const { return onMouseLeave_; }
    void setOnMouseLeave(TNotifyEvent handler) { onMouseLeave_ = std::move(handler); }
    const TNotifyEvent& OnResize() const { return onResize_; }
    void setOnResize(TNotifyEvent handler) { onResize_ = std::move(handler); }
    const TMouseEvent& OnMouseDown() const { return onMouseDown_; }
    void setOnMouseDown(TMouseEvent handler) { onMouseDown_ = std::move(handler); }
    const TMouseEvent& OnMouseUp() const { return onMouseUp_; }
    void setOnMouseUp(TMouseEvent handler) { onMouseUp_ = std::move(handler); }
    const TMouseMoveEvent& OnMouseMove() const { return onMouseMove_; }
    void setOnMouseMove(TMouseMoveEvent handler) { onMouseMove_ = std::move(handler); }

    // OnClick, OnDblClick, OnMouseEnter, OnMouseLeave, OnResize.
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;
    // Font.Name, Font.Height, Font.Size, Font.Color, Font.Style, Font.Charset.
    bool applyProperty(const QString& path, const QVariant& value) override;

    // Keys and mouse buttons held right now, as a shift state.
    static TShiftState currentShiftState();
    static TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

protected:
    // Notifications, each sent only on a real change. The defaults repaint.
    virtual void EnabledChanged();
    virtual void VisibleChanged() {}
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged();
    // The mouse entered or left the control (also a disabled one). The defaults fire the events.
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Mouse input in client coordinates. The defaults fire OnMouseDown/Move/Up.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // After every size change; fires OnResize.
    virtual void Resize();

    // Whether a left press released inside the control calls Click() (on by default).
    void setClickOnMouseUp(bool on) { clickOnMouseUp_ = on; }

    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Children that take this control's font, colour or hint setting follow a change of it.
    void notifyChildrenOfParentChange();

    // Sends a resize event Qt holds back for a hidden control.
    void deliverPendingResize(QSize oldSize);

private:
    void fontChangedByOwner();
    void followParent();
    void updateToolTip();
    void updateHintTree();
    void parentChanged();

    bool enabled_ = true;
    bool visible_ = true;
    QString hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    TFont font_;
    bool parentFont_ = true;
    bool followingParent_ = false;
    QString caption_;
    TCursor cursor_ = crDefault;
    TAlign align_ = alNone;
    bool clickOnMouseUp_ = true;
    bool leftPressed_ = false;

    TNotifyEvent onClick_;
    TNotifyEvent onDblClick_;
    TNotifyEvent onMouseEnter_;
    TNotifyEvent onMouseLeave_;
    TNotifyEvent onResize_;
    TMouseEvent onMouseDown_;
    TMouseEvent onMouseUp_;
    TMouseMoveEvent onMouseMove_;
};
