#pragma once

#include "controls/BrowseTypes.h"

#include <functional>

// The border settings of a drawn edit. onChange fires after a real change.
class TEditBevel {
public:
    TEditBevelMode Mode() const { return mode_; }
    void setMode(TEditBevelMode mode);

    std::function<void()> onChange;

private:
    TEditBevelMode mode_ = bmWindows;
};
