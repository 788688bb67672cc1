#include "skin/ShineBtnColors.h"

void TShineBtnColors::setColor(TColor color) {
    update(color_, color);
}

void TShineBtnColors::setHighlight(TColor color) {
    update(highlight_, color);
}

void TShineBtnColors::setShadow(TColor color) {
    update(shadow_, color);
}

void TShineBtnColors::setDarkShadow(TColor color) {
    update(darkShadow_, color);
}

void TShineBtnColors::setGradColor(TColor color) {
    update(gradColor_, color);
}

void TShineBtnColors::setGradVertical(bool vertical) {
    update(gradVertical_, vertical);
}

void TShineBtnColors::setGradation(bool on) {
    update(gradation_, on);
}

void TShineBtnColors::assign(const TShineBtnColors& source) {
    color_ = source.color_;
    highlight_ = source.highlight_;
    shadow_ = source.shadow_;
    darkShadow_ = source.darkShadow_;
    gradColor_ = source.gradColor_;
    gradVertical_ = source.gradVertical_;
    gradation_ = source.gradation_;
    changed();
}

void TShineBtnColors::changed() const {
    if (onChange_)
        onChange_();
}
