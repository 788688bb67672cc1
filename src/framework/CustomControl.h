#pragma once

#include "framework/WinControl.h"

// The base of self-drawn windowed controls: override Paint() and draw on the canvas given.
class TCustomControl : public TWinControl {
    Q_OBJECT

public:
    explicit TCustomControl(QWidget* parent = nullptr) : TWinControl(parent) {}
};
