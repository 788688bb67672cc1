#include "skin/DxfProgressBar.h"

#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>

using namespace platform;

TdxfProgressBar::TdxfProgressBar(QWidget* parent) : TCustomControl(parent) {
    setOpaque(true); // every pixel is painted
    resize(150, 16);
}

void TdxfProgressBar::setBarBevelOuter(TdxfBevelOuter bevel) {
    if (bevel == barBevelOuter_)
        return;
    barBevelOuter_ = bevel;
    Invalidate();
}

void TdxfProgressBar::setBevelOuter(TdxfBevelOuter bevel) {
    if (bevel == bevelOuter_)
        return;
    bevelOuter_ = bevel;
    Invalidate();
}

void TdxfProgressBar::setOrientation(TdxfPBOrientation orientation) {
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    Invalidate();
}

void TdxfProgressBar::setMax(int max) {
    if (max == max_ || max < min_)
        return;
    max_ = max;
    Invalidate();
}

void TdxfProgressBar::setMin(int min) {
    if (min == min_ || min > max_)
        return;
    min_ = min;
    Invalidate();
}

void TdxfProgressBar::setPosition(int position) {
    if (position == position_)
        return;
    const int old = position_;
    position_ = position;
    invalidatePositionChange(old, position);
    if (showText_)
        invalidateText();
}

void TdxfProgressBar::setShowText(bool show) {
    if (show == showText_)
        return;
    showText_ = show;
    Invalidate();
}

void TdxfProgressBar::setShowTextStyle(TdxfShowTextStyle style) {
    if (style == showTextStyle_)
        return;
    showTextStyle_ = style;
    if (showText_)
        Invalidate();
}

void TdxfProgressBar::setBeginColor(TColor color) {
    if (color == beginColor_)
        return;
    beginColor_ = color;
    if (style_ != sPictures)
        Invalidate();
}

void TdxfProgressBar::setEndColor(TColor color) {
    if (color == endColor_)
        return;
    endColor_ = color;
    if (style_ == sExSolid || style_ == sExRectangles)
        Invalidate();
}

void TdxfProgressBar::setStyle(TdxfPBStyle style) {
    if (style == style_)
        return;
    style_ = style;
    Invalidate();
}

void TdxfProgressBar::setGlyph(const QImage& glyph) {
    glyph_ = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_RGB32);
    if (!glyph_.isNull()) {
        if (horizontal())
            setHeight(glyph_.height() + 4);
        else
            setWidth(glyph_.width() + 4);
    }
    if (style_ == sPictures)
        Invalidate();
}

void TdxfProgressBar::setTransparentGlyph(bool transparent) {
    if (transparent == transparentGlyph_)
        return;
    transparentGlyph_ = transparent;
    Invalidate();
}

void TdxfProgressBar::StepIt() {
    if (step_ != 0)
        setPosition(position_ + step_);
}

void TdxfProgressBar::StepBy(int delta) {
    if (delta != 0)
        setPosition(position_ + delta);
}

void TdxfProgressBar::Loaded() {
    TCustomControl::Loaded();
    Invalidate();
}

QString TdxfProgressBar::text() const {
    if (showTextStyle_ == stsPosition)
        return QString::number(position_);
    const long long span = (long long)max_ - min_;
    // Without a range there is nothing to divide: reached or not.
    const double percent =
        span == 0 ? (position_ > min_ ? 100.0 : 0.0) : double(position_) * 100.0 / double(span);
    return QString::number(static_cast<long long>(std::nearbyint(percent))) + QStringLiteral(" %");
}

TColor TdxfProgressBar::gradientColor(TColor begin, TColor end, int offset, int span) {
    if (span <= 0)
        return TColor(std::uint32_t(begin) & 0xFFFFFF);
    TColor color = 0;
    for (int shift : {0, 8, 16}) {
        const int from = int((std::uint32_t(begin) >> shift) & 0xFF);
        const int to = int((std::uint32_t(end) >> shift) & 0xFF);
        const long double value =
            static_cast<long double>((to - from) * offset) / span + static_cast<long double>(from);
        color |= (static_cast<int>(value) & 0xFF) << shift;
    }
    return color;
}

int TdxfProgressBar::scaled(int position, int length) const {
    const long long span = (long long)max_ - min_;
    if (span == 0)
        return position > min_ ? length : 0;
    // The product in 64 bits: a long movie's frame count times the bar's width exceeds 32.
    const long double share = static_cast<long double>((long long)position * length) / span;
    // Beyond the control every length draws alike; the limit keeps the edges derived from it
    // (and the rectangles filled between them) within the control's reach.
    const long double limit = std::abs((long double)length) + Width() + Height() + 4;
    return static_cast<int>(std::clamp(share, -limit, limit));
}

void TdxfProgressBar::invalidatePositionChange(int from, int to) {
    if ((long long)max_ - min_ == 0) {
        Invalidate();
        return;
    }
    const int lower = std::min(from, to);
    const int higher = std::max(from, to);
    const int w = Width();
    const int h = Height();
    Box box = horizontal() ? Box{scaled(lower, w) - 2, 0, scaled(higher, w) + 2, h}
                           : Box{0, h - scaled(higher, h) - 2, w, h - scaled(lower, h) + 2};
    int margin = 0;
    if (style_ == sRectangles || style_ == sExRectangles)
        margin =
            horizontal() ? 2 * (box.bottom - box.top) / 3 + 2 : 2 * (box.right - box.left) / 3 + 2;
    else if (style_ == sPictures)
        margin = horizontal() ? glyph_.width() : glyph_.height();
    if (horizontal()) {
        box.left -= margin;
        box.right += margin;
    } else {
        box.top -= margin;
        box.bottom += margin;
    }
    if (box.right <= box.left || box.bottom <= box.top)
        return;
    Invalidate(gdiRect(box.left, box.top, box.right, box.bottom));
}

void TdxfProgressBar::invalidateText() {
    QImage scratch(1, 1, QImage::Format_RGB32);
    Canvas canvas(scratch);
    canvas.font().assign(Font());
    const QString widest =
        showTextStyle_ == stsPosition ? QString::number(max_) : QStringLiteral("100 %");
    const QSize extent = canvas.textExtent(widest);
    const QSize box = horizontal() ? extent : extent.transposed();
    const QRect rect((Width() - box.width()) / 2, (Height() - box.height()) / 2, box.width(),
                     box.height());
    if (!rect.isEmpty())
        Invalidate(rect);
}

void TdxfProgressBar::drawBevel(Canvas& canvas, const Box& box, TdxfBevelOuter bevel) const {
    if (bevel == skin::bvNone)
        return;
    const unsigned edge = bevel == skin::bvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
    const QRect rect = gdiRect(box.left, box.top, box.right, box.bottom);
    canvas.drawEdge(rect, edge, BF_LEFT | BF_TOP);
    canvas.drawEdge(rect, edge, BF_RIGHT | BF_BOTTOM);
}

void TdxfProgressBar::Paint(Canvas& canvas) {
    canvas.brush().setStyle(bsSolid);
    canvas.brush().setColor(Color());
    canvas.fillRect(ClientRect());
    Box inner{0, 0, Width(), Height()};
    if (bevelOuter_ != skin::bvNone) {
        drawBevel(canvas, inner, bevelOuter_);
        inner = {2, 2, Width() - 2, Height() - 2};
    }
    if (position_ != min_) {
        Box bar = inner;
        if (horizontal())
            bar.right =
                std::min(inner.left + scaled(position_, inner.right - inner.left), inner.right);
        else
            bar.top =
                std::max(inner.bottom - scaled(position_, inner.bottom - inner.top), inner.top);
        paintBar(canvas, inner, bar);
    }
    if (showText_)
        paintText(canvas);
}

void TdxfProgressBar::paintBar(Canvas& canvas, const Box& inner, const Box& bar) const {
    switch (style_) {
    case sSolid:
        canvas.brush().setStyle(bsSolid);
        canvas.brush().setColor(beginColor_);
        canvas.fillRect(gdiRect(bar.left, bar.top, bar.right, bar.bottom));
        drawBevel(canvas, bar, barBevelOuter_);
        break;
    case sExSolid:
        paintGradientLines(canvas, inner, bar);
        drawBevel(canvas, bar, barBevelOuter_);
        break;
    case sRectangles:
    case sExRectangles:
        paintBlocks(canvas, inner, bar, style_ == sExRectangles);
        break;
    case sPictures:
        paintPictures(canvas, bar);
        break;
    }
}

void TdxfProgressBar::paintGradientLines(Canvas& canvas, const Box& inner, const Box& bar) const {
    // The gradient spans the whole inner area; the bar uncovers part of it.
    canvas.pen().setStyle(psSolid);
    if (horizontal()) {
        for (int x = bar.left; x < bar.right; ++x) {
            canvas.pen().setColor(
                gradientColor(beginColor_, endColor_, x - bar.left, inner.right - inner.left));
            canvas.moveTo(x, bar.top);
            canvas.lineTo(x, bar.bottom);
        }
        return;
    }
    for (int y = bar.bottom - 1; y >= bar.top; --y) {
        canvas.pen().setColor(
            gradientColor(beginColor_, endColor_, bar.bottom - y, inner.bottom - inner.top));
        canvas.moveTo(bar.left, y);
        canvas.lineTo(bar.right, y);
    }
}

void TdxfProgressBar::paintBlocks(Canvas& canvas, const Box& inner, const Box& bar,
                                  bool gradient) const {
    const auto block = [&](const Box& box, TColor color) {
        canvas.pen().setStyle(psSolid);
        canvas.pen().setColor(color);
        canvas.brush().setStyle(bsSolid);
        canvas.brush().setColor(color);
        canvas.rectangle(box.left, box.top, box.right, box.bottom);
        drawBevel(canvas, box, barBevelOuter_);
    };
    const int innerWidth = inner.right - inner.left;
    const int innerHeight = inner.bottom - inner.top;
    // Blocks are two pixels narrower than the pitch; a partial block is never drawn.
    const int pitch = std::max(1, 2 * (horizontal() ? innerHeight : innerWidth) / 3 + 2);
    const auto colorAt = [&](int offset) {
        return gradient ? gradientColor(beginColor_, endColor_, offset,
                                        horizontal() ? innerWidth : innerHeight)
                        : beginColor_;
    };
    int last = 0;
    if (horizontal()) {
        for (int x = bar.left + pitch; x < bar.right; x += pitch) {
            block({x - pitch, bar.top, x - 2, bar.bottom}, colorAt(x - bar.left));
            last = x;
        }
        if (position_ >= max_)
            block({last, bar.top, bar.right, bar.bottom}, colorAt(last - bar.left));
        return;
    }
    for (int y = bar.bottom - 1 - pitch; y >= bar.top; y -= pitch) {
        block({bar.left, y + 2, bar.right, y + pitch}, colorAt(bar.bottom - y));
        last = y;
    }
    if (position_ >= max_)
        block({bar.left, bar.top, bar.right, last}, colorAt(bar.bottom - last));
}

void TdxfProgressBar::paintPictures(Canvas& canvas, const Box& bar) const {
    const int gw = glyph_.width();
    const int gh = glyph_.height();
    if (gw <= 0 || gh <= 0)
        return;
    int last = 0;
    if (horizontal()) {
        for (int x = bar.left + gw; x < bar.right; x += gw) {
            drawGlyph(canvas, x - gw, bar.top);
            last = x;
        }
        if (position_ == max_)
            drawGlyph(canvas, last, bar.top);
        return;
    }
    for (int y = bar.bottom - 1 - gh; y >= bar.top; y -= gh) {
        drawGlyph(canvas, bar.left, y);
        last = y;
    }
    if (position_ == max_)
        drawGlyph(canvas, bar.left, last - gh);
}

void TdxfProgressBar::drawGlyph(Canvas& canvas, int x, int y) const {
    if (!transparentGlyph_) {
        canvas.draw(x, y, glyph_);
        return;
    }
    const QRgb corner = glyph_.pixel(0, glyph_.height() - 1);
    canvas.drawTransparent(x, y, glyph_, fromQRgb(corner));
}

void TdxfProgressBar::paintText(Canvas& canvas) const {
    const QString shown = text();
    canvas.font().assign(Font());
    const QSize extent = canvas.textExtent(shown);
    canvas.brush().setStyle(bsClear);
    if (horizontal()) {
        canvas.textOut((Width() - extent.width()) / 2, (Height() - extent.height()) / 2, shown);
        return;
    }
    // Running downward, turned about its start point.
    canvas.font().setOrientation(2700);
    canvas.textOut(extent.height() + (Width() - extent.height()) / 2,
                   (Height() - extent.width()) / 2, shown);
}
