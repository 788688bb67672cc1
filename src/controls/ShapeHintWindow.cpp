#include "controls/ShapeHintWindow.h"

#include "platform/Canvas.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

using namespace platform;

namespace {

constexpr int kCorner = 16;   // corner ellipses of the rounded shapes
constexpr int kNoseBase = 30; // width of the nose where it meets the body
constexpr int kMinTextBox = 46;

struct Box {
    int left, top, right, bottom;
};

struct Nose {
    QPoint base; // left end of the base line
    QPoint tip;
};

// The parts of one balloon inside its window.
struct Geometry {
    Box shadow;
    std::optional<Nose> shadowNose;
    Box body;
    std::optional<Nose> bodyNose;
    QPoint textOffset;
};

bool hasNose(THintStyle style) {
    return style == hsNoseRect || style == hsNoseRoundRect || style == hsNoseEllipse;
}

QSize windowSize(QSize textBox, THintStyle style, int depth) {
    if (hasNose(style))
        return {std::max(textBox.width(), kMinTextBox) + depth + 23, textBox.height() + depth + 18};
    if (style == hsEllipse)
        return {textBox.width() * 3 / 2 + depth, textBox.height() * 2 + depth};
    return {textBox.width() + depth + 2, textBox.height() + depth + 2};
}

// The nose points at the window corner nearest the pointer; the shadow is the body moved by the
// depth, except where it would leave the window.
Geometry noseGeometry(THintPosition position, int w, int h, int d) {
    switch (position) {
    case hpAboveLeft:
        return {{d, d, w - 15, h - 15},
                Nose{{w - 55, h - 16}, {w, h}},
                {0, 0, w - d - 15, h - d - 15},
                Nose{{w - d - 55, h - d - 16}, {w - d, h - d}},
                {4, 4}};
    case hpAboveRight:
        return {{d + 15, d, w, h - 15},
                Nose{{d + 25, h - 16}, {0, h}},
                {15, 0, w - d, h - d - 15},
                Nose{{25, h - d - 16}, {0, h - d}},
                {19, 4}};
    case hpBelowLeft:
        return {{d, d + 15, w - 15, h},
                Nose{{w - 55, d + 16}, {w, d}},
                {0, 15, w - d - 15, h - d},
                Nose{{w - d - 55, 16}, {w, 0}},
                {4, 19}};
    case hpBelowRight:
        break;
    }
    return {{d + 15, d + 15, w, h},
            std::nullopt,
            {15, 15, w - d, h - d},
            Nose{{25, 16}, {0, 0}},
            {19, 19}};
}

Geometry geometryFor(const TShapeHintWindow::Layout& layout, const ShapeHintLook& look) {
    const int w = layout.size.width();
    const int h = layout.size.height();
    const int d = look.shadowDepth;
    if (hasNose(look.style))
        return noseGeometry(layout.position, w, h, d);
    Geometry geometry{{d, d, w, h}, std::nullopt, {0, 0, w - d, h - d}, std::nullopt, {4, 4}};
    if (look.style == hsEllipse) {
        // The text sits in the middle of the ellipse.
        const QSize text = layout.textRect.size() - QSize(6, 6);
        geometry.textOffset = {(w - d - text.width()) / 2, (h - d - text.height()) / 2};
    }
    return geometry;
}

void drawBody(Canvas& canvas, const Box& box, THintStyle style) {
    switch (style) {
    case hsRect:
    case hsNoseRect:
        canvas.rectangle(box.left, box.top, box.right, box.bottom);
        break;
    case hsRoundRect:
    case hsNoseRoundRect:
        canvas.roundRect(box.left, box.top, box.right, box.bottom, kCorner, kCorner);
        break;
    case hsEllipse:
    case hsNoseEllipse:
        canvas.ellipse(box.left, box.top, box.right, box.bottom);
        break;
    }
}

void drawNose(Canvas& canvas, const Nose& nose) {
    const std::array<QPoint, 3> points{nose.base, nose.tip, nose.base + QPoint(kNoseBase, 0)};
    canvas.polygon(points);
}

QImage shadowLayer(QSize size, const Geometry& geometry, const ShapeHintLook& look) {
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    Canvas canvas(layer);
    canvas.pen().setStyle(psClear);
    canvas.brush().setStyle(bsSolid);
    canvas.brush().setColor(look.shadowColor);
    drawBody(canvas, geometry.shadow, look.style);
    if (geometry.shadowNose)
        drawNose(canvas, *geometry.shadowNose);
    return layer;
}

void drawText(Canvas& canvas, const QString& text, const QRect& rect, const ShapeHintLook& look) {
    constexpr unsigned format = DT_WORDBREAK | DT_NOPREFIX;
    canvas.brush().setStyle(bsSolid);
    canvas.brush().setColor(look.color);
    canvas.setBkMode(BkMode::Transparent);
    canvas.font().assign(look.font);
    const auto copyAt = [&](int dx, int dy, TColor color) {
        canvas.setTextColor(color);
        canvas.drawText(text, rect.translated(dx, dy), format);
    };
    switch (look.font3D) {
    case f3dNone:
        break;
    case f3dRaised:
        copyAt(-1, -1, clBtnHighlight);
        copyAt(1, 1, clBtnShadow);
        break;
    case f3dLowered:
        copyAt(1, 1, clBtnHighlight);
        copyAt(-1, -1, clBtnShadow);
        break;
    case f3dShadowed:
        copyAt(1, 1, clBtnShadow);
        break;
    }
    copyAt(0, 0, look.font.color());
}

QPoint placedAt(THintPosition position, QPoint anchor, QSize size) {
    const int x = anchor.x();
    const int y = anchor.y();
    switch (position) {
    case hpAboveLeft:
        return {x - size.width() - 1, y - size.height() - 1};
    case hpAboveRight:
        return {x + 1, y - size.height() - 1};
    case hpBelowLeft:
        return {x - size.width() - 3, y + 1};
    case hpBelowRight:
        break;
    }
    return {x + 6, y + 1};
}

} // namespace

TShapeHintWindow::TShapeHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

QSize TShapeHintWindow::measureText(const QString& text, const ShapeHintLook& look,
                                    int screenWidth) {
    long long wrap = look.maxWidth;
    if (wrap < 0)
        wrap = screenWidth / -wrap;
    const int width = int(std::clamp<long long>(wrap, 1, 1 << 20));
    QImage scratch(1, 1, QImage::Format_RGB32);
    Canvas canvas(scratch);
    canvas.font().assign(look.font);
    // An empty text still measures one line high.
    const QRect measured =
        canvas
            .drawText(text.isEmpty() ? QStringLiteral(" ") : text, gdiRect(0, 0, width, 0),
                      DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX)
            .rect;
    return measured.size() + QSize(6, 6);
}

TShapeHintWindow::Layout TShapeHintWindow::layoutFor(QSize textBox, QPoint anchor,
                                                     const ShapeHintLook& look,
                                                     const QRect& screen) {
    Layout layout;
    layout.size = windowSize(textBox, look.style, look.shadowDepth);
    THintPosition position = look.position;
    for (int attempt = 0; attempt < 4; ++attempt) {
        layout.position = position;
        layout.topLeft = placedAt(position, anchor, layout.size);
        const QPoint bottomRight =
            layout.topLeft + QPoint(layout.size.width(), layout.size.height());
        if (screen.contains(layout.topLeft) && screen.contains(bottomRight))
            break;
        position = THintPosition((int(position) + 1) % 4);
    }
    layout.textRect = QRect(QPoint(0, 0), textBox);
    layout.textRect.translate(geometryFor(layout, look).textOffset);
    return layout;
}

QImage TShapeHintWindow::compose(const QString& text, const Layout& layout,
                                 const ShapeHintLook& look) {
    QImage picture(layout.size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    if (picture.isNull())
        return picture;
    const Geometry geometry = geometryFor(layout, look);
    if (look.shadowStyle != hssNone) {
        const QImage shadow = shadowLayer(layout.size, geometry, look);
        for (int y = 0; y < shadow.height(); ++y)
            for (int x = 0; x < shadow.width(); ++x)
                if (qAlpha(shadow.pixel(x, y)) != 0 &&
                    (look.shadowStyle == hssSolid || ((x ^ y) & 1) != 0))
                    picture.setPixel(x, y, shadow.pixel(x, y));
    }
    Canvas canvas(picture);
    canvas.pen().setStyle(psSolid);
    canvas.pen().setWidth(1);
    canvas.pen().setMode(pmCopy);
    canvas.pen().setColor(look.borderColor);
    canvas.brush().setStyle(bsSolid);
    canvas.brush().setColor(look.color);
    drawBody(canvas, geometry.body, look.style);
    if (geometry.bodyNose && hasNose(look.style)) {
        drawNose(canvas, *geometry.bodyNose);
        // No outline where the nose meets the body.
        canvas.pen().setColor(look.color);
        canvas.moveTo(geometry.bodyNose->base.x(), geometry.bodyNose->base.y());
        canvas.lineTo(geometry.bodyNose->base.x() + kNoseBase, geometry.bodyNose->base.y());
    }
    drawText(canvas, text, layout.textRect, look);
    return picture;
}

void TShapeHintWindow::activate(const QString& text, QPoint anchor, const ShapeHintLook& look) {
    QScreen* screen = QGuiApplication::screenAt(anchor);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    text_ = text;
    layout_ = layoutFor(measureText(text, look, area.width()), anchor, look, area);
    picture_ = compose(text, layout_, look);
    setFixedSize(layout_.size);
    move(layout_.topLeft);
    // Only the balloon's own pixels belong to the window.
    setMask(QBitmap::fromImage(picture_.createAlphaMask()));
    show();
    raise();
    update();
}

void TShapeHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void TShapeHintWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onHidden)
        onHidden();
}
