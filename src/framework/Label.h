#pragma once

#include "framework/GraphicControl.h"

#include <QRect>

// The standard text label. AutoSize (on by default) fits the bounds to the caption whenever the
// caption, font or wrapping changes (not while loading; once more at Loaded()).
class TLabel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(framework::TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(framework::TTextLayout Layout READ Layout WRITE setLayout)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE setShowAccelChar)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)

public:
    explicit TLabel(QWidget* parent = nullptr);

    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void setLayout(TTextLayout layout);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool wrap);
    bool ShowAccelChar() const { return showAccelChar_; }
    void setShowAccelChar(bool show);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);

    void Paint(platform::Canvas& canvas) override;
    void Loaded() override;

    // The DrawText format of Alignment, WordWrap and ShowAccelChar, with DT_EXPANDTABS.
    unsigned textFormat() const;

protected:
    // The text drawn; the caption by default.
    virtual QString GetLabelText() const;
    // Draws (or with DT_CALCRECT measures into rect) the text in the control's font; a disabled
    // label draws an embossed copy. A measured empty text counts as one blank.
    virtual void DoDrawText(platform::Canvas& canvas, QRect& rect, unsigned format);
    // Fits the bounds to the text when AutoSize is on.
    virtual void AdjustBounds();

    void FontChanged() override;
    void TextChanged() override;

private:
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    bool transparent_ = false;
    bool autoSize_ = true;
};
