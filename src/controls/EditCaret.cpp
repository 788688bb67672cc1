#include "controls/EditCaret.h"

void TEditCaret::setBlinkRate(int milliseconds) {
    if (milliseconds == blinkRate_)
        return;
    blinkRate_ = milliseconds;
    if (onChange)
        onChange();
}
