#include "framework/Label.h"

#include "platform/Canvas.h"

#include <QImage>

using namespace platform;

TLabel::TLabel(QWidget* parent) : TGraphicControl(parent) {
    resize(65, 17);
}

void TLabel::setAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    Invalidate();
}

void TLabel::setLayout(TTextLayout layout) {
    if (layout == layout_)
        return;
    layout_ = layout;
    Invalidate();
}

void TLabel::setWordWrap(bool wrap) {
    if (wrap == wordWrap_)
        return;
    wordWrap_ = wrap;
    AdjustBounds();
    Invalidate();
}

void TLabel::setShowAccelChar(bool show) {
    if (show == showAccelChar_)
        return;
    showAccelChar_ = show;
    Invalidate();
}

void TLabel::setTransparent(bool transparent) {
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    Invalidate();
}

void TLabel::setAutoSize(bool autoSize) {
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    AdjustBounds();
}

unsigned TLabel::textFormat() const {
    unsigned format = DT_EXPANDTABS;
    if (wordWrap_)
        format |= DT_WORDBREAK;
    if (alignment_ == taRightJustify)
        format |= DT_RIGHT;
    else if (alignment_ == taCenter)
        format |= DT_CENTER;
    if (!showAccelChar_)
        format |= DT_NOPREFIX;
    return format;
}

void TLabel::Paint(Canvas& canvas) {
    if (!transparent_) {
        canvas.brush().setColor(Color());
        canvas.brush().setStyle(bsSolid);
        canvas.fillRect(ClientRect());
    }
    canvas.brush().setStyle(bsClear);
    QRect rect = ClientRect();
    const unsigned format = textFormat();
    if (layout_ != tlTop) {
        QRect measured = rect;
        DoDrawText(canvas, measured, format | DT_CALCRECT);
        const int free = Height() - gdiBottom(measured);
        rect.translate(0, layout_ == tlBottom ? free : free / 2);
    }
    DoDrawText(canvas, rect, format);
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

QString TLabel::GetLabelText() const {
    return Caption();
}

void TLabel::DoDrawText(Canvas& canvas, QRect& rect, unsigned format) {
    QString text = GetLabelText();
    if ((format & DT_CALCRECT) &&
        (text.isEmpty() || (showAccelChar_ && text == QLatin1String("&"))))
        text += u' ';
    canvas.font().assign(Font());
    if (format & DT_CALCRECT) {
        rect = canvas.drawText(text, rect, format).rect;
        return;
    }
    if (!Enabled()) {
        canvas.font().setColor(clBtnHighlight);
        canvas.drawText(text, rect.translated(1, 1), format);
        canvas.font().setColor(clBtnShadow);
    }
    canvas.drawText(text, rect, format);
}

void TLabel::AdjustBounds() {
    if (!autoSize_ || isLoading())
        return;
    QImage scratch(1, 1, QImage::Format_RGB32);
    Canvas canvas(scratch);
    QRect rect = ClientRect();
    DoDrawText(canvas, rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
    int left = Left();
    // A right-aligned label keeps its right edge.
    if (alignment_ == taRightJustify)
        left += Width() - gdiRight(rect);
    setBounds(left, Top(), gdiRight(rect), gdiBottom(rect));
}

void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::TextChanged() {
    TGraphicControl::TextChanged();
    AdjustBounds();
}
