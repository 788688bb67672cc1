#include "controls/EditButton.h"

#include "platform/Canvas.h"

TEditButton::TEditButton(QWidget* parent) : TGraphicControl(parent) {
    setCursor(crArrow);
}

void TEditButton::setGlyph(const QImage& glyph) {
    glyph_ = glyph.convertToFormat(QImage::Format_RGB32);
    Invalidate();
}

void TEditButton::Paint(platform::Canvas& canvas) {
    const QRect face = ClientRect();
    canvas.brush().setColor(clBtnFace);
    canvas.brush().setStyle(bsSolid);
    canvas.fillRect(face);

    const bool enabled = isEnabled();
    const bool pressed = enabled && isDown();
    if (pressed)
        canvas.drawEdge(face, platform::BDR_SUNKENOUTER, platform::BF_RECT);
    else if (enabled && hot_)
        canvas.drawEdge(face, platform::BDR_RAISEDINNER, platform::BF_RECT);

    if (glyph_.isNull())
        return;
    QPoint at((face.width() - glyph_.width()) / 2, (face.height() - glyph_.height()) / 2);
    if (pressed)
        at += QPoint(1, 1);
    if (enabled)
        drawGlyph(canvas, at);
    else
        drawDisabledGlyph(canvas, at);
}

void TEditButton::drawGlyph(platform::Canvas& canvas, QPoint at) const {
    canvas.drawTransparent(at.x(), at.y(), glyph_, kGlyphKey);
}

void TEditButton::drawDisabledGlyph(platform::Canvas& canvas, QPoint at) const {
    // Embossed: the glyph's shape in the highlight colour, then in the shadow colour above it.
    const auto stamp = [&](QPoint offset, TColor color) {
        for (int y = 0; y < glyph_.height(); ++y)
            for (int x = 0; x < glyph_.width(); ++x)
                if (platform::fromQRgb(glyph_.pixel(x, y)) != kGlyphKey)
                    canvas.setPixel(at.x() + offset.x() + x, at.y() + offset.y() + y, color);
    };
    stamp(QPoint(1, 1), clBtnHighlight);
    stamp(QPoint(0, 0), clBtnShadow);
}

void TEditButton::EnabledChanged() {
    if (!Enabled())
        setState(false, false, false);
    TGraphicControl::EnabledChanged();
}

void TEditButton::setState(bool hot, bool down, bool inside) {
    const bool wasDown = isDown();
    const bool wasHot = hot_;
    hot_ = hot;
    down_ = down;
    inside_ = inside;
    if (wasDown != isDown() || wasHot != hot_)
        Invalidate();
}

void TEditButton::MouseEnter() {
    setState(true, down_, true);
    TGraphicControl::MouseEnter();
}

void TEditButton::MouseLeave() {
    setState(false, down_, false);
    TGraphicControl::MouseLeave();
}

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && !(shift & ssDouble))
        setState(true, true, ClientRect().contains(x, y));
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TEditButton::MouseMove(TShiftState shift, int x, int y) {
    const bool inside = ClientRect().contains(x, y);
    setState(inside, down_, inside);
    TGraphicControl::MouseMove(shift, x, y);
}

void TEditButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft)
        setState(ClientRect().contains(x, y), false, ClientRect().contains(x, y));
    TGraphicControl::MouseUp(button, shift, x, y);
}
