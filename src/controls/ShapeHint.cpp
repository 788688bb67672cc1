#include "controls/ShapeHint.h"

#include "controls/ShapeHintWindow.h"
#include "framework/SubObjectProperties.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace {

// Hints hide by themselves after this long, as the standard ones do.
constexpr int kHintHideMs = 2500;

TShapeHint* activeShapeHint = nullptr;

// The widget itself or its nearest ancestor whose hint shows.
QWidget* hintOwner(QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (!widget->toolTip().isEmpty())
            return widget;
        if (widget->isWindow())
            break;
    }
    return nullptr;
}

} // namespace

TShapeHint::TShapeHint(QObject* parent)
    : QObject(parent), font3D_(new TShapeHintFont3D(this)), shadow_(new TShapeHintShadow(this)) {
    font_.setName(QStringLiteral("MS Sans Serif"));
    font_.setSize(8);
    font_.setColor(clInfoText);
    hideTimer_.setSingleShot(true);
    connect(&hideTimer_, &QTimer::timeout, this, [this] { hideHint(); });
    messageTimer_.setSingleShot(true);
    connect(&messageTimer_, &QTimer::timeout, this, [this] { messageWindow_.reset(); });
    activate();
}

TShapeHint::~TShapeHint() {
    // Nobody is told of a balloon hidden because its component goes.
    if (window_)
        window_->onHidden = nullptr;
    deactivate();
}

TShapeHint* TShapeHint::active() {
    return activeShapeHint;
}

void TShapeHint::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled)
        activate();
    else
        deactivate();
}

void TShapeHint::Loaded() {
    TComponent::Loaded();
    if (enabled_)
        activate();
}

void TShapeHint::activate() {
    if (activeShapeHint == this)
        return;
    if (activeShapeHint != nullptr)
        activeShapeHint->hideHint();
    activeShapeHint = this;
    // The standard hint window goes; the next hint comes as a balloon.
    QToolTip::hideText();
    if (qApp != nullptr)
        qApp->installEventFilter(this);
}

void TShapeHint::deactivate() {
    hideHint();
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
    if (activeShapeHint == this)
        activeShapeHint = nullptr;
}

bool TShapeHint::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName != QLatin1String("OnCloseHintWindow"))
        return TComponent::bindEvent(eventName, std::move(handler));
    onCloseHintWindow_ = std::move(handler);
    return true;
}

bool TShapeHint::applyProperty(const QString& path, const QVariant& value) {
    if (path.startsWith(QLatin1String("Font.")))
        return framework::applyFontProperty(font_, QStringView(path).mid(5), value);
    return TComponent::applyProperty(path, value);
}

ShapeHintLook TShapeHint::look() const {
    ShapeHintLook look;
    look.color = color_;
    look.borderColor = borderColor_;
    look.font = font_;
    look.font3D = font3D_->Style();
    look.maxWidth = maxWidth_;
    look.position = position_;
    look.style = style_;
    look.shadowColor = shadow_->Color();
    look.shadowDepth = shadow_->Depth();
    look.shadowStyle = shadow_->Style();
    return look;
}

void TShapeHint::showHintFor(QWidget* widget, const QString& text, QPoint globalPos) {
    if (text.isEmpty()) {
        hideHint();
        return;
    }
    if (!window_) {
        window_ = std::make_unique<TShapeHintWindow>();
        window_->onHidden = [this] {
            hideTimer_.stop();
            if (onCloseHintWindow_)
                onCloseHintWindow_();
        };
    }
    hinted_ = widget;
    window_->activate(text, globalPos, look());
    hideTimer_.start(kHintHideMs);
}

void TShapeHint::hideHint() {
    hinted_ = nullptr;
    hideTimer_.stop();
    if (window_ && window_->isVisible())
        window_->hide();
}

void TShapeHint::ShowHint(const QString& text, int x, int y, int durationMs) {
    messageWindow_ = std::make_unique<TShapeHintWindow>();
    messageWindow_->activate(text, QPoint(x, y), look());
    messageTimer_.start(std::max(0, durationMs));
}

void TShapeHint::ShowControlHint(const QString& text, const QWidget* control, int durationMs) {
    if (control == nullptr || !control->isVisible() || control->parentWidget() == nullptr)
        return;
    const QPoint centre = control->mapToGlobal(control->rect().center());
    ShowHint(text.isEmpty() ? control->toolTip() : text, centre.x(), centre.y(), durationMs);
}

void TShapeHint::followPointer(QWidget* widget, QPoint globalPos) {
    // Moving onto another control while a balloon shows shows its hint at once.
    QWidget* owner = hintOwner(widget);
    if (owner == hinted_)
        return;
    if (owner == nullptr)
        hideHint();
    else
        showHintFor(owner, owner->toolTip(), globalPos);
}

bool TShapeHint::eventFilter(QObject* watched, QEvent* event) {
    if (activeShapeHint != this)
        return false;
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->toolTip().isEmpty())
            return false; // goes on to the parent, whose hint may show
        showHintFor(widget, widget->toolTip(), static_cast<QHelpEvent*>(event)->globalPos());
        return true;
    }
    case QEvent::Leave:
        if (watched == hinted_)
            hideHint();
        break;
    case QEvent::MouseMove:
        if (window_ && window_->isVisible())
            if (auto* widget = qobject_cast<QWidget*>(watched))
                followPointer(widget, QCursor::pos());
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::WindowDeactivate:
        if (window_ && window_->isVisible())
            hideHint();
        break;
    default:
        break;
    }
    return false;
}
