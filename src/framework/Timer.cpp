#include "framework/Timer.h"

#include "framework/ErrorReport.h"

#include <utility>

TTimer::TTimer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, [this] { runGuarded([this] { Timer(); }); });
}

void TTimer::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    updateTimer();
}

void TTimer::setInterval(int milliseconds) {
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    updateTimer();
}

void TTimer::setOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    updateTimer();
}

bool TTimer::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName != QLatin1String("OnTimer"))
        return TComponent::bindEvent(eventName, std::move(handler));
    setOnTimer(std::move(handler));
    return true;
}

void TTimer::Timer() {
    if (onTimer_)
        onTimer_();
}

void TTimer::updateTimer() {
    // Restarting on every change matches the platform timer being killed and set anew.
    timer_.stop();
    if (enabled_ && interval_ > 0 && onTimer_)
        timer_.start(interval_);
}
