#include "skin/GradBox.h"

#include "platform/Canvas.h"

#include <cmath>

using namespace platform;

namespace {

struct Channels {
    long double red, green, blue;
};

// System colours 0 to 24 resolve to what the system reports now; any other value is split as
// it stands.
Channels channelsOf(TColor color) {
    const auto code = std::uint32_t(color);
    const std::uint32_t index = code - 0x80000000u;
    const std::uint32_t value = (code & 0x80000000u) && index <= 24 ? sysColor(int(index)) : code;
    return {static_cast<long double>(value & 0xFF), static_cast<long double>((value >> 8) & 0xFF),
            static_cast<long double>((value >> 16) & 0xFF)};
}

// Captions are drawn top-left aligned, wrapped at word breaks.
constexpr unsigned kCaptionFormat = DT_WORDBREAK | DT_EXPANDTABS;

} // namespace

TGradBox::TGradBox(QWidget* parent) : TGraphicControl(parent) {
    resize(200, 100);
}

void TGradBox::setCaptionLeft(int left) {
    if (left == captionLeft_)
        return;
    captionLeft_ = left;
    Invalidate();
}

void TGradBox::setCaptionTop(int top) {
    if (top == captionTop_)
        return;
    captionTop_ = top;
    Invalidate();
}

void TGradBox::setTopColor(TColor color) {
    if (color == topColor_)
        return;
    topColor_ = color;
    Invalidate();
}

void TGradBox::setLastColor(TColor color) {
    if (color == lastColor_)
        return;
    lastColor_ = color;
    Invalidate();
}

void TGradBox::setOutLineColor(TColor color) {
    if (color == outLineColor_)
        return;
    outLineColor_ = color;
    if (drawOutLine_)
        Invalidate();
}

void TGradBox::setDrawOutLine(bool draw) {
    if (draw == drawOutLine_)
        return;
    drawOutLine_ = draw;
    Invalidate();
}

void TGradBox::setGradStyle(TGradStyle style) {
    if (style == gradStyle_)
        return;
    gradStyle_ = style;
    Invalidate();
}

void TGradBox::setFont3D(bool on) {
    if (on == font3D_)
        return;
    font3D_ = on;
    Invalidate();
}

void TGradBox::setFontDepth(quint8 depth) {
    if (depth == fontDepth_)
        return;
    fontDepth_ = depth;
    if (font3D_)
        Invalidate();
}

void TGradBox::setStyle3D(TFontStyle3D style) {
    if (style == style3D_)
        return;
    style3D_ = style;
    Invalidate();
}

void TGradBox::setBackFont(TColor color) {
    if (color == backFont_)
        return;
    backFont_ = color;
    if (font3D_)
        Invalidate();
}

bool TGradBox::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName != QLatin1String("OnPaint"))
        return TGraphicControl::bindEvent(eventName, std::move(handler));
    onPaint_ = std::move(handler);
    return true;
}

TGradBox::ColorTable TGradBox::colorTable(TColor start, TColor end) {
    const Channels from = channelsOf(start);
    const Channels to = channelsOf(end);
    const Channels step{(from.red - to.red) / 255, (from.green - to.green) / 255,
                        (from.blue - to.blue) / 255};
    Channels running = from;
    ColorTable table{};
    table[0] = start;
    for (int i = 1; i <= 254; ++i) {
        running.red -= step.red;
        running.green -= step.green;
        running.blue -= step.blue;
        const auto red = static_cast<int>(running.red);
        const auto green = static_cast<int>(running.green);
        const auto blue = static_cast<int>(running.blue);
        table[i] = TColor(red + green * 256 + blue * 65536);
    }
    table[255] = end;
    return table;
}

void TGradBox::Paint(Canvas& canvas) {
    if (gradStyle_ != gsNone) {
        const bool reversed = gradStyle_ == gsBottomTop || gradStyle_ == gsRightLeft;
        paintBands(canvas, reversed ? colorTable(lastColor_, topColor_)
                                    : colorTable(topColor_, lastColor_));
    }
    canvas.font().assign(Font());
    canvas.brush().setStyle(bsClear);
    canvas.pen().setStyle(psSolid);
    canvas.pen().setColor(outLineColor_);
    if (drawOutLine_)
        canvas.rectangle(0, 0, Width(), Height());
    paintCaption(canvas);
    if (onPaint_)
        onPaint_();
}

void TGradBox::paintBands(Canvas& canvas, const ColorTable& table) const {
    // Each band is one pixel longer than the step, so neighbours overlap and no gap is left.
    const bool horizontalBands = gradStyle_ == gsTopBottom || gradStyle_ == gsBottomTop;
    const long double step =
        static_cast<long double>(horizontalBands ? Height() : Width()) / 255.0L;
    const auto bandLength = static_cast<int>(step + 1);
    canvas.brush().setStyle(bsSolid);
    int start = 0;
    for (int j = 0; j <= 255; ++j) {
        canvas.brush().setColor(table[std::size_t(j)]);
        canvas.fillRect(horizontalBands ? gdiRect(0, start, Width(), start + bandLength)
                                        : gdiRect(start, 0, start + bandLength, Height()));
        start = static_cast<int>(j * step);
    }
}

void TGradBox::paintCaption(Canvas& canvas) const {
    const QString& text = Caption();
    if (text.isEmpty())
        return;
    // The caption's right and bottom edges come from the box's place in its parent.
    const QRect place = gdiRect(captionLeft_, captionTop_, Left() + Width(), Top() + Height());
    const auto drawAt = [&](int dx, int dy, TColor color) {
        canvas.font().setColor(color);
        canvas.drawText(text, place.translated(dx, dy), kCaptionFormat);
    };
    if (!Enabled()) {
        drawAt(1, 1, clWhite);
        drawAt(0, 0, clGray);
        return;
    }
    if (font3D_) {
        const int depth = fontDepth_;
        switch (style3D_) {
        case fsLowShadow:
            drawAt(depth, depth, backFont_);
            break;
        case fsRaiseShadow:
            drawAt(-depth, -depth, backFont_);
            break;
        case fsLow3D:
            for (int d = 1; d <= depth; ++d)
                drawAt(d, d, backFont_);
            break;
        case fsRaise3D:
            for (int d = 1; d <= depth; ++d)
                drawAt(-d, -d, backFont_);
            break;
        }
    }
    drawAt(0, 0, Font().color());
}
