#pragma once

#include "framework/Component.h"

#include <QObject>
#include <QTimer>

// A window timer: while Enabled, with an Interval above 0 and an OnTimer handler, OnTimer runs
// every Interval milliseconds from the event loop. An exception from OnTimer goes to the
// standard error report and the timer keeps running.
class TTimer : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

public:
    explicit TTimer(QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int Interval() const { return interval_; }
    void setInterval(int milliseconds);

    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void setOnTimer(TNotifyEvent handler);

    // True while ticks are being delivered.
    bool isRunning() const { return timer_.isActive(); }

    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;

protected:
    // One tick; runs OnTimer.
    virtual void Timer();

private:
    void updateTimer();

    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
    TNotifyEvent onTimer_;
};
