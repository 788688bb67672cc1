#include "framework/Panel.h"

#include "framework/Frame3D.h"
#include "platform/Canvas.h"

namespace {

QRect bevel(platform::Canvas& canvas, const QRect& rect, TPanelBevel kind, int width) {
    if (kind == bvNone)
        return rect;
    const bool lowered = kind == bvLowered;
    return framework::frame3D(canvas, rect, lowered ? clBtnShadow : clBtnHighlight,
                              lowered ? clBtnHighlight : clBtnShadow, width);
}

unsigned alignmentFormat(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify:
        return platform::DT_RIGHT;
    case taCenter:
        return platform::DT_CENTER;
    case taLeftJustify:
        break;
    }
    return platform::DT_LEFT;
}

} // namespace

TPanel::TPanel(QWidget* parent) : TCustomControl(parent) {
    setColor(clBtnFace);
    resize(185, 41);
}

void TPanel::setBevelOuter(TPanelBevel bevel) {
    if (bevel == bevelOuter_)
        return;
    bevelOuter_ = bevel;
    Invalidate();
}

void TPanel::setBevelInner(TPanelBevel bevel) {
    if (bevel == bevelInner_)
        return;
    bevelInner_ = bevel;
    Invalidate();
}

void TPanel::setBevelWidth(int width) {
    if (width == bevelWidth_ || width < 1)
        return;
    bevelWidth_ = width;
    Invalidate();
}

void TPanel::setBorderWidth(int width) {
    if (width == borderWidth_ || width < 0)
        return;
    borderWidth_ = width;
    Invalidate();
}

void TPanel::setAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    Invalidate();
}

void TPanel::Paint(platform::Canvas& canvas) {
    QRect rect = bevel(canvas, ClientRect(), bevelOuter_, bevelWidth_);
    rect = framework::frame3D(canvas, rect, Color(), Color(), borderWidth_);
    rect = bevel(canvas, rect, bevelInner_, bevelWidth_);
    canvas.brush().setColor(Color());
    canvas.brush().setStyle(bsSolid);
    canvas.fillRect(rect);
    if (Caption().isEmpty())
        return;
    canvas.brush().setStyle(bsClear);
    canvas.font().assign(Font());
    canvas.drawText(Caption(), rect,
                    platform::DT_EXPANDTABS | platform::DT_VCENTER | platform::DT_SINGLELINE |
                        alignmentFormat(alignment_));
}
