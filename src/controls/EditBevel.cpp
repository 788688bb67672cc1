#include "controls/EditBevel.h"

void TEditBevel::setMode(TEditBevelMode mode) {
    if (mode == mode_)
        return;
    mode_ = mode;
    if (onChange)
        onChange();
}
