#pragma once

#include "framework/CustomControl.h"
#include "skin/SkinTypes.h"

#include <QImage>

// A windowed, self-drawn progress bar: solid, blocks, gradient, gradient blocks or tiled
// picture, horizontal or vertical, with optional bevels around the control and around each bar
// part, and an optional centred percentage or position. A change of position repaints only
// the span between the old and the new position.
class TdxfProgressBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(skin::TdxfBevelOuter BarBevelOuter READ BarBevelOuter WRITE setBarBevelOuter)
    Q_PROPERTY(skin::TdxfBevelOuter BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(skin::TdxfPBOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(bool ShowText READ ShowText WRITE setShowText)
    Q_PROPERTY(skin::TdxfShowTextStyle ShowTextStyle READ ShowTextStyle WRITE setShowTextStyle)
    Q_PROPERTY(TColor BeginColor READ BeginColor WRITE setBeginColor)
    Q_PROPERTY(TColor EndColor READ EndColor WRITE setEndColor)
    Q_PROPERTY(skin::TdxfPBStyle Style READ Style WRITE setStyle)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(int Step READ Step WRITE setStep)
    Q_PROPERTY(bool TransparentGlyph READ TransparentGlyph WRITE setTransparentGlyph)

public:
    explicit TdxfProgressBar(QWidget* parent = nullptr);

    TdxfBevelOuter BarBevelOuter() const { return barBevelOuter_; }
    void setBarBevelOuter(TdxfBevelOuter bevel);
    TdxfBevelOuter BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TdxfBevelOuter bevel);
    TdxfPBOrientation Orientation() const { return orientation_; }
    void setOrientation(TdxfPBOrientation orientation);
    // Max never goes below Min, nor Min above Max: such values are refused.
    int Max() const { return max_; }
    void setMax(int max);
    int Min() const { return min_; }
    void setMin(int min);
    // Not clamped to Min..Max.
    int Position() const { return position_; }
    void setPosition(int position);
    bool ShowText() const { return showText_; }
    void setShowText(bool show);
    TdxfShowTextStyle ShowTextStyle() const { return showTextStyle_; }
    void setShowTextStyle(TdxfShowTextStyle style);
    TColor BeginColor() const { return beginColor_; }
    void setBeginColor(TColor color);
    TColor EndColor() const { return endColor_; }
    void setEndColor(TColor color);
    TdxfPBStyle Style() const { return style_; }
    void setStyle(TdxfPBStyle style);
    const QImage& Glyph() const { return glyph_; }
    // A picture also sets the bar's thickness: its height + 4 (its width + 4 when vertical).
    void setGlyph(const QImage& glyph);
    int Step() const { return step_; }
    void setStep(int step) { step_ = step; }
    bool TransparentGlyph() const { return transparentGlyph_; }
    void setTransparentGlyph(bool transparent);

    void StepIt();
    void StepBy(int delta);

    // The text shown: the position, or its share of Max - Min as a rounded percentage.
    QString text() const;
    // The gradient colour at offset i of a span of n pixels, channels of the raw values.
    static TColor gradientColor(TColor begin, TColor end, int offset, int span);

    void Loaded() override;
    void Paint(platform::Canvas& canvas) override;

private:
    struct Box {
        int left, top, right, bottom;
    };

    bool horizontal() const { return orientation_ == orHorizontal; }
    // Position's share of length, truncated; with no range, all or nothing.
    int scaled(int position, int length) const;
    void invalidatePositionChange(int from, int to);
    void invalidateText();
    void drawBevel(platform::Canvas& canvas, const Box& box, TdxfBevelOuter bevel) const;
    void paintBar(platform::Canvas& canvas, const Box& inner, const Box& bar) const;
    void paintGradientLines(platform::Canvas& canvas, const Box& inner, const Box& bar) const;
    void paintBlocks(platform::Canvas& canvas, const Box& inner, const Box& bar,
                     bool gradient) const;
    void paintPictures(platform::Canvas& canvas, const Box& bar) const;
    void paintText(platform::Canvas& canvas) const;
    void drawGlyph(platform::Canvas& canvas, int x, int y) const;

    TdxfBevelOuter barBevelOuter_ = skin::bvNone;
    TdxfBevelOuter bevelOuter_ = skin::bvLowered;
    TdxfPBOrientation orientation_ = orHorizontal;
    int max_ = 100;
    int min_ = 0;
    int position_ = 0;
    bool showText_ = false;
    TdxfShowTextStyle showTextStyle_ = stsPercent;
    TColor beginColor_ = clNavy;
    TColor endColor_ = clWhite;
    TdxfPBStyle style_ = sRectangles;
    QImage glyph_;
    int step_ = 10;
    bool transparentGlyph_ = true;
};
