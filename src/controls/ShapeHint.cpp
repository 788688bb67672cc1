#include "controls/ShapeHint.h"

#include "controls/ShapeHintWindow.h"
#include "framework/SubObjectProperties.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <optional>

namespace {

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
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    clock_ = [started] { return started->elapsed(); };
    scheduleTimer_.setSingleShot(true);
    scheduleTimer_.setTimerType(Qt::PreciseTimer);
    connect(&scheduleTimer_, &QTimer::timeout, this, [this] { checkSchedule(); });
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

void TShapeHint::hideHint() {
    carryOut(schedule_.cancel());
    pointed_ = nullptr;
    if (window_ && window_->isVisible())
        window_->hide();
}

void TShapeHint::checkSchedule() {
    if (schedule_.control() != nullptr && pointed_ == nullptr) {
        hideHint(); // the control went away
        return;
    }
    carryOut(schedule_.elapse(clock_()));
}

void TShapeHint::carryOut(HintSchedule::Action action) {
    switch (action) {
    case HintSchedule::Action::Show:
        showBalloon(pointed_);
        break;
    case HintSchedule::Action::Hide:
        if (window_ && window_->isVisible())
            window_->hide();
        break;
    case HintSchedule::Action::None:
        break;
    }
    armScheduleTimer();
}

void TShapeHint::armScheduleTimer() {
    const std::optional<qint64> deadline = schedule_.deadline();
    if (!deadline) {
        scheduleTimer_.stop();
        return;
    }
    scheduleTimer_.start(int(std::clamp<qint64>(*deadline - clock_(), 0, 1 << 30)));
}

void TShapeHint::showBalloon(QWidget* owner) {
    const QString text = owner != nullptr ? owner->toolTip() : QString();
    if (text.isEmpty()) {
        hideHint();
        return;
    }
    if (!window_) {
        window_ = std::make_unique<TShapeHintWindow>();
        window_->onHidden = [this] {
            if (onCloseHintWindow_)
                onCloseHintWindow_();
        };
    }
    window_->activate(text, pointer_, look());
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

void TShapeHint::pointerMoved(QWidget* receiver, QPoint localPos, QPoint globalPos) {
    // A move the receiver passed on to its parent was handled where it arrived first.
    if (receiver->childAt(localPos) != nullptr)
        return;
    pointer_ = globalPos;
    QWidget* owner = hintOwner(receiver);
    if (owner != schedule_.control())
        pointed_ = owner;
    carryOut(schedule_.pointerOver(owner, clock_()));
}

bool TShapeHint::eventFilter(QObject* watched, QEvent* event) {
    if (activeShapeHint != this || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::ToolTip:
        return true; // the toolkit's own timing and window stay out
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        pointerMoved(widget, move->position().toPoint(), move->globalPosition().toPoint());
        break;
    }
    case QEvent::Leave:
        if (widget->isWindow())
            carryOut(schedule_.pointerOver(nullptr, clock_()));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        hideHint();
        break;
    default:
        break;
    }
    return false;
}
