#pragma once

#include "framework/Label.h"
#include "skin/Shadow.h"
#include "skin/SkinTypes.h"

class QImage;

// A label that paints its caption up to three times: a drop shadow and a highlight (offset
// copies in colours of their own), then the caption, in one colour or with a two- or
// three-colour gradient running across its characters. Under an opaque label it paints a solid
// or gradient background, through an off-screen picture unless Flickerless is off.
class TShadowLabel : public TLabel {
    Q_OBJECT
    Q_PROPERTY(skin::TEllipsis Ellipsis READ Ellipsis WRITE setEllipsis)
    Q_PROPERTY(bool Flickerless READ Flickerless WRITE setFlickerless)
    Q_PROPERTY(bool GradateVert READ GradateVert WRITE setGradateVert)
    Q_PROPERTY(bool Gradation READ Gradation WRITE setGradation)
    Q_PROPERTY(TColor GradationColor READ GradationColor WRITE setGradationColor)
    Q_PROPERTY(TShadow* Highlight READ Highlight WRITE setHighlight)
    Q_PROPERTY(TShadow* Shadow READ Shadow WRITE setShadow)
    Q_PROPERTY(skin::TTextGradation TextGradation READ TextGradation WRITE setTextGradation)
    Q_PROPERTY(TColor TextGradationColor READ TextGradationColor WRITE setTextGradationColor)
    Q_PROPERTY(TColor TextMidColor READ TextMidColor WRITE setTextMidColor)

public:
    explicit TShadowLabel(QWidget* parent = nullptr);
    ~TShadowLabel() override;

    TEllipsis Ellipsis() const { return ellipsis_; }
    void setEllipsis(TEllipsis ellipsis);
    bool Flickerless() const { return flickerless_; }
    void setFlickerless(bool on) { flickerless_ = on; }
    bool GradateVert() const { return gradateVert_; }
    void setGradateVert(bool vertical);
    bool Gradation() const { return gradation_; }
    void setGradation(bool on);
    TColor GradationColor() const { return gradationColor_; }
    void setGradationColor(TColor color);
    TShadow* Highlight() const { return highlight_; }
    // Copies the values in; the owned object stays. A null value is ignored.
    void setHighlight(const TShadow* value);
    TShadow* Shadow() const { return shadow_; }
    void setShadow(const TShadow* value);
    TTextGradation TextGradation() const { return textGradation_; }
    void setTextGradation(TTextGradation gradation);
    TColor TextGradationColor() const { return textGradationColor_; }
    void setTextGradationColor(TColor color);
    TColor TextMidColor() const { return textMidColor_; }
    void setTextMidColor(TColor color);

    void Paint(platform::Canvas& canvas) override;

    // Step k of an n-step run from one colour to another, each channel truncated.
    static TColor gradientStep(TColor from, TColor to, int k, int n);
    // Fills a picture with a linear gradient: top row (or left column) from, bottom row (or
    // right column) to. Only one column (row) is computed; the rest is copied from it.
    static void gradBitmap(QImage& picture, TColor from, TColor to, bool vertical);
    // Paints such a gradient into a rectangle through a small picture stretched over it.
    static void gradRect(platform::Canvas& canvas, const QRect& rect, TColor from, TColor to,
                         bool vertical);

private:
    void ShadowChanged();
    unsigned drawingFormat() const;
    void paintOn(platform::Canvas& canvas, const QString& text, bool offScreen);
    void paintBackground(platform::Canvas& canvas, bool offScreen);
    void paintGradientText(platform::Canvas& canvas, const QString& text, const QRect& textRect,
                           unsigned format);

    TEllipsis ellipsis_ = elNone;
    bool flickerless_ = true;
    bool gradateVert_ = false;
    bool gradation_ = false;
    TColor gradationColor_ = clBlue;
    TShadow* highlight_; // owned through the QObject tree
    TShadow* shadow_;
    TTextGradation textGradation_ = tgNone;
    TColor textGradationColor_ = clMaroon;
    TColor textMidColor_ = clNavy;
};
