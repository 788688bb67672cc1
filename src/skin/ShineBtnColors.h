#pragma once

#include "framework/Component.h"
#include "platform/Colors.h"

#include <QObject>

// One colour set of a shine speed button: face colour or gradient, and the frame's colours.
// Every real change, and every assign(), reports through OnChange.
class TShineBtnColors : public QObject {
    Q_OBJECT
    Q_PROPERTY(TColor Highlight READ Highlight WRITE setHighlight)
    Q_PROPERTY(TColor Shadow READ Shadow WRITE setShadow)
    Q_PROPERTY(TColor DarkShadow READ DarkShadow WRITE setDarkShadow)
    Q_PROPERTY(TColor GradColor READ GradColor WRITE setGradColor)
    Q_PROPERTY(bool GradVertical READ GradVertical WRITE setGradVertical)
    Q_PROPERTY(bool Gradation READ Gradation WRITE setGradation)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)

public:
    explicit TShineBtnColors(QObject* parent = nullptr) : QObject(parent) {}

    TColor Color() const { return color_; }
    void setColor(TColor color);
    TColor Highlight() const { return highlight_; }
    void setHighlight(TColor color);
    TColor Shadow() const { return shadow_; }
    void setShadow(TColor color);
    TColor DarkShadow() const { return darkShadow_; }
    void setDarkShadow(TColor color);
    TColor GradColor() const { return gradColor_; }
    void setGradColor(TColor color);
    bool GradVertical() const { return gradVertical_; }
    void setGradVertical(bool vertical);
    bool Gradation() const { return gradation_; }
    void setGradation(bool on);

    // Copies all seven values from source, then reports.
    void assign(const TShineBtnColors& source);
    // Copies all seven values into dest, which reports.
    void assignTo(TShineBtnColors& dest) const { dest.assign(*this); }

    const TNotifyEvent& OnChange() const { return onChange_; }
    void setOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

private:
    template <class T> void update(T& field, T value) {
        if (field == value)
            return;
        field = value;
        changed();
    }
    void changed() const;

    TColor color_ = clBtnFace;
    TColor highlight_ = clBtnHighlight;
    TColor shadow_ = clBtnShadow;
    TColor darkShadow_ = clWindowFrame;
    TColor gradColor_ = clBlue;
    bool gradVertical_ = false;
    bool gradation_ = false;
    TNotifyEvent onChange_;
};
