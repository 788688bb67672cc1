#pragma once

#include "framework/Component.h"
#include "platform/Colors.h"

#include <QObject>

// The settings of one offset copy of a label's caption (its shadow or its highlight).
// Every real change, and every assign(), reports through OnChange.
class TShadow : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(int OffsetLeft READ OffsetLeft WRITE setOffsetLeft)
    Q_PROPERTY(int OffsetTop READ OffsetTop WRITE setOffsetTop)

public:
    explicit TShadow(QObject* parent = nullptr) : QObject(parent) {}

    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    TColor Color() const { return color_; }
    void setColor(TColor color);
    int OffsetLeft() const { return offsetLeft_; }
    void setOffsetLeft(int offset);
    int OffsetTop() const { return offsetTop_; }
    void setOffsetTop(int offset);

    // Copies all four values and reports once, whether or not anything differed.
    void assign(const TShadow& source);

    const TNotifyEvent& OnChange() const { return onChange_; }
    void setOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

private:
    void changed() const;

    bool visible_ = true;
    TColor color_ = clSilver;
    int offsetLeft_ = 1;
    int offsetTop_ = 1;
    TNotifyEvent onChange_;
};
