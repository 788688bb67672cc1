#pragma once

#include "framework/GraphicControl.h"
#include "skin/SkinTypes.h"

#include <QtGlobal>
#include <array>

// A windowless panel filled with a two-colour gradient of 256 bands, with an optional one-pixel
// outline and an optional caption drawn flat or with raised or lowered shadow copies.
class TGradBox : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(int CaptionLeft READ CaptionLeft WRITE setCaptionLeft)
    Q_PROPERTY(int CaptionTop READ CaptionTop WRITE setCaptionTop)
    Q_PROPERTY(TColor TopColor READ TopColor WRITE setTopColor)
    Q_PROPERTY(TColor LastColor READ LastColor WRITE setLastColor)
    Q_PROPERTY(TColor OutLineColor READ OutLineColor WRITE setOutLineColor)
    Q_PROPERTY(bool DrawOutLine READ DrawOutLine WRITE setDrawOutLine)
    Q_PROPERTY(skin::TGradStyle GradStyle READ GradStyle WRITE setGradStyle)
    Q_PROPERTY(bool Font3D READ Font3D WRITE setFont3D)
    Q_PROPERTY(quint8 FontDepth READ FontDepth WRITE setFontDepth)
    Q_PROPERTY(skin::TFontStyle3D Style3D READ Style3D WRITE setStyle3D)
    Q_PROPERTY(TColor BackFont READ BackFont WRITE setBackFont)

public:
    using ColorTable = std::array<TColor, 256>;

    explicit TGradBox(QWidget* parent = nullptr);

    int CaptionLeft() const { return captionLeft_; }
    void setCaptionLeft(int left);
    int CaptionTop() const { return captionTop_; }
    void setCaptionTop(int top);
    TColor TopColor() const { return topColor_; }
    void setTopColor(TColor color);
    TColor LastColor() const { return lastColor_; }
    void setLastColor(TColor color);
    TColor OutLineColor() const { return outLineColor_; }
    void setOutLineColor(TColor color);
    bool DrawOutLine() const { return drawOutLine_; }
    void setDrawOutLine(bool draw);
    TGradStyle GradStyle() const { return gradStyle_; }
    void setGradStyle(TGradStyle style);
    bool Font3D() const { return font3D_; }
    void setFont3D(bool on);
    quint8 FontDepth() const { return fontDepth_; }
    void setFontDepth(quint8 depth);
    TFontStyle3D Style3D() const { return style3D_; }
    void setStyle3D(TFontStyle3D style);
    TColor BackFont() const { return backFont_; }
    void setBackFont(TColor color);

    // Runs at the end of every paint.
    const TNotifyEvent& OnPaint() const { return onPaint_; }
    void setOnPaint(TNotifyEvent handler) { onPaint_ = std::move(handler); }
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;

    // The 256 band colours from start to end: the ends unchanged (a system colour stays a
    // code), the inner entries stepped in extended precision and truncated, the running values
    // carrying their error from entry to entry.
    static ColorTable colorTable(TColor start, TColor end);

    void Paint(platform::Canvas& canvas) override;

private:
    void paintBands(platform::Canvas& canvas, const ColorTable& table) const;
    void paintCaption(platform::Canvas& canvas) const;

    int captionLeft_ = 10;
    int captionTop_ = 10;
    TColor topColor_ = clGreen;
    TColor lastColor_ = clLime;
    TColor outLineColor_ = clBlack;
    bool drawOutLine_ = false;
    TGradStyle gradStyle_ = gsTopBottom;
    bool font3D_ = false;
    quint8 fontDepth_ = 1;
    TFontStyle3D style3D_ = fsRaise3D;
    TColor backFont_ = clYellow;
    TNotifyEvent onPaint_;
};
