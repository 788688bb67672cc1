#pragma once

#include "framework/CustomControl.h"

// A plain windowed panel: background in Color, optional raised or lowered bevels, a caption
// centred vertically.
class TPanel : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(framework::TPanelBevel BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(framework::TPanelBevel BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(framework::TAlignment Alignment READ Alignment WRITE setAlignment)

public:
    explicit TPanel(QWidget* parent = nullptr);

    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void setBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);

    void Paint(platform::Canvas& canvas) override;

private:
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = taCenter;
};
