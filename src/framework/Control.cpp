#include "framework/Control.h"

#include "framework/ErrorReport.h"
#include "framework/SubObjectProperties.h"
#include "framework/WinControl.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>
#include <optional>

namespace {

Qt::CursorShape cursorShape(TCursor cursor) {
    switch (cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    case crArrow:
    case crDefault:
        break;
    }
    return Qt::ArrowCursor;
}

std::optional<TMouseButton> mouseButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return mbLeft;
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return std::nullopt;
    }
}

} // namespace

TControl::TControl(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    font_.onChange = [this] { fontChangedByOwner(); };
    // Controls see every mouse move, not only those with a button held.
    setMouseTracking(true);
    QWidget::setFont(font_.toQFont());
    if (parent != nullptr && !isWindow()) {
        followParent();
        QWidget::setVisible(true); // shown with the parent, as a visible control is
    }
}

TControl::~TControl() {
    font_.onChange = nullptr;
}

void TControl::setBounds(int left, int top, int width, int height) {
    const QRect bounds(left, top, std::max(0, width), std::max(0, height));
    const QSize oldSize = size();
    if (isWindow()) {
        move(bounds.topLeft());
        resize(bounds.size());
    } else if (bounds != geometry()) {
        setGeometry(bounds);
    }
    deliverPendingResize(oldSize);
}

void TControl::deliverPendingResize(QSize oldSize) {
    // Qt holds a hidden widget's resize back until it is shown; controls lay out their
    // children and update their state on every size change, shown or not.
    if (!testAttribute(Qt::WA_PendingResizeEvent) || size() == oldSize)
        return;
    setAttribute(Qt::WA_PendingResizeEvent, false);
    QResizeEvent event(size(), oldSize);
    QCoreApplication::sendEvent(this, &event);
}

void TControl::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    QWidget::setEnabled(enabled);
    EnabledChanged();
}

bool TControl::Visible() const {
    return isWindow() ? isVisible() : visible_;
}

void TControl::setVisible(bool visible) {
    const bool changed = visible != Visible();
    visible_ = visible;
    QWidget::setVisible(visible);
    if (changed)
        VisibleChanged();
}

void TControl::setHint(const QString& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    updateToolTip();
}

void TControl::setShowHint(bool show) {
    if (show == showHint_ && !parentShowHint_)
        return;
    parentShowHint_ = false;
    showHint_ = show;
    updateHintTree();
}

void TControl::setParentShowHint(bool fromParent) {
    if (fromParent == parentShowHint_)
        return;
    parentShowHint_ = fromParent;
    updateHintTree();
}

bool TControl::effectiveShowHint() const {
    if (parentShowHint_)
        if (const auto* parent = qobject_cast<const TControl*>(parentWidget()))
            return parent->effectiveShowHint();
    return showHint_;
}

QString TControl::hintText() const {
    return hint_.section(u'|', 0, 0);
}

void TControl::setColor(TColor color) {
    if (!followingParent_)
        parentColor_ = false;
    if (color == color_)
        return;
    color_ = color;
    ColorChanged();
    notifyChildrenOfParentChange();
}

void TControl::setParentColor(bool fromParent) {
    if (fromParent == parentColor_)
        return;
    parentColor_ = fromParent;
    if (fromParent)
        followParent();
}

void TControl::setParentFont(bool fromParent) {
    if (fromParent == parentFont_)
        return;
    parentFont_ = fromParent;
    if (fromParent)
        followParent();
}

void TControl::setCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    TextChanged();
}

void TControl::setCursor(TCursor cursor) {
    if (cursor == cursor_)
        return;
    cursor_ = cursor;
    if (cursor == crDefault)
        unsetCursor();
    else
        QWidget::setCursor(cursorShape(cursor));
}

void TControl::setAlign(TAlign align) {
    if (align == align_)
        return;
    align_ = align;
    if (TWinControl* parent = parentControl())
        parent->AlignControls();
}

void TControl::Invalidate() {
    update();
}

void TControl::Invalidate(const QRect& clientRect) {
    update(clientRect);
}

void TControl::Repaint() {
    repaint();
}

void TControl::setMouseTransparent(bool transparent) {
    setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
}

TWinControl* TControl::parentControl() const {
    return qobject_cast<TWinControl*>(parentWidget());
}

void TControl::Paint(platform::Canvas&) {}

void TControl::Click() {
    if (onClick_)
        onClick_();
}

void TControl::DblClick() {
    if (onDblClick_)
        onDblClick_();
}

bool TControl::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName == QLatin1String("OnClick"))
        onClick_ = std::move(handler);
    else if (eventName == QLatin1String("OnDblClick"))
        onDblClick_ = std::move(handler);
    else if (eventName == QLatin1String("OnMouseEnter"))
        onMouseEnter_ = std::move(handler);
    else if (eventName == QLatin1String("OnMouseLeave"))
        onMouseLeave_ = std::move(handler);
    else if (eventName == QLatin1String("OnResize"))
        onResize_ = std::move(handler);
    else
        return TComponent::bindEvent(eventName, std::move(handler));
    return true;
}

bool TControl::applyProperty(const QString& path, const QVariant& value) {
    if (path.startsWith(QLatin1String("Font.")))
        return framework::applyFontProperty(font_, QStringView(path).mid(5), value);
    return TComponent::applyProperty(path, value);
}

TShiftState TControl::shiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

TShiftState TControl::currentShiftState() {
    return shiftStateOf(QGuiApplication::queryKeyboardModifiers(), QGuiApplication::mouseButtons());
}

void TControl::EnabledChanged() {
    Invalidate();
}

void TControl::FontChanged() {
    Invalidate();
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::TextChanged() {
    Invalidate();
}

void TControl::MouseEnter() {
    if (onMouseEnter_)
        onMouseEnter_();
}

void TControl::MouseLeave() {
    if (onMouseLeave_)
        onMouseLeave_();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (onMouseDown_)
        onMouseDown_(button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (onMouseMove_)
        onMouseMove_(shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (onMouseUp_)
        onMouseUp_(button, shift, x, y);
}

void TControl::Resize() {
    if (onResize_)
        onResize_();
}

bool TControl::event(QEvent* event) {
    // As the class library's window procedure does: a handler's exception is reported and the
    // message counts as handled.
    try {
        if (event->type() == QEvent::ParentChange)
            parentChanged();
        return QWidget::event(event);
    } catch (const std::exception& error) {
        reportException(error);
    } catch (...) {
        reportUnknownException();
    }
    return true;
}

// The handlers below run our virtuals guarded, so a handler's exception is reported before it
// could unwind through the toolkit's frames.

void TControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    runGuarded([this] { MouseEnter(); });
}

void TControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    runGuarded([this] { MouseLeave(); });
}

void TControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const std::optional<TMouseButton> button = mouseButton(event->button());
    if (!button)
        return;
    if (*button == mbLeft)
        leftPressed_ = true;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = shiftStateOf(event->modifiers(), event->buttons());
    runGuarded([&] { MouseDown(*button, shift, p.x(), p.y()); });
}

void TControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    const TShiftState shift = shiftStateOf(event->modifiers(), event->buttons());
    runGuarded([&] { MouseMove(shift, p.x(), p.y()); });
}

void TControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const std::optional<TMouseButton> button = mouseButton(event->button());
    if (!button)
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = shiftStateOf(event->modifiers(), event->buttons());
    const bool clicked =
        *button == mbLeft && leftPressed_ && clickOnMouseUp_ && ClientRect().contains(p);
    if (*button == mbLeft)
        leftPressed_ = false;
    // The click handler may delete this control (closing its window, reloading a form).
    QPointer<TControl> self(this);
    if (clicked)
        runGuarded([this] { Click(); });
    if (self)
        runGuarded([&] { MouseUp(*button, shift, p.x(), p.y()); });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    const std::optional<TMouseButton> button = mouseButton(event->button());
    if (!button)
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = shiftStateOf(event->modifiers(), event->buttons()) | ssDouble;
    QPointer<TControl> self(this);
    if (*button == mbLeft && clickOnMouseUp_)
        runGuarded([this] { DblClick(); });
    if (self)
        runGuarded([&] { MouseDown(*button, shift, p.x(), p.y()); });
}

void TControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    runGuarded([this] { Resize(); });
}

void TControl::notifyChildrenOfParentChange() {
    for (QObject* child : children())
        if (auto* control = qobject_cast<TControl*>(child))
            control->followParent();
}

void TControl::fontChangedByOwner() {
    if (!followingParent_)
        parentFont_ = false;
    QWidget::setFont(font_.toQFont());
    FontChanged();
    notifyChildrenOfParentChange();
}

void TControl::followParent() {
    const auto* parent = qobject_cast<const TControl*>(parentWidget());
    if (parent != nullptr) {
        followingParent_ = true;
        if (parentFont_ && !(font_ == parent->font_))
            font_.assign(parent->font_);
        if (parentColor_)
            setColor(parent->color_);
        followingParent_ = false;
    }
    updateToolTip();
}

void TControl::updateToolTip() {
    setToolTip(effectiveShowHint() ? hintText() : QString());
}

void TControl::updateHintTree() {
    updateToolTip();
    for (QObject* child : children())
        if (auto* control = qobject_cast<TControl*>(child))
            control->updateHintTree();
}

void TControl::parentChanged() {
    followParent();
    updateHintTree();
    if (!isWindow() && visible_ && parentWidget() != nullptr && isHidden())
        QWidget::setVisible(true);
    if (TWinControl* parent = parentControl())
        if (align_ != alNone)
            parent->AlignControls();
}
