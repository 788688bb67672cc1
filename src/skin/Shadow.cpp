#include "skin/Shadow.h"

void TShadow::setVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    changed();
}

void TShadow::setColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    changed();
}

void TShadow::setOffsetLeft(int offset) {
    if (offset == offsetLeft_)
        return;
    offsetLeft_ = offset;
    changed();
}

void TShadow::setOffsetTop(int offset) {
    if (offset == offsetTop_)
        return;
    offsetTop_ = offset;
    changed();
}

void TShadow::assign(const TShadow& source) {
    visible_ = source.visible_;
    color_ = source.color_;
    offsetLeft_ = source.offsetLeft_;
    offsetTop_ = source.offsetTop_;
    changed();
}

void TShadow::changed() const {
    if (onChange_)
        onChange_();
}
