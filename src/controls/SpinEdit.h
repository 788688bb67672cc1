#pragma once

#include "controls/CustomSpinEdit.h"

// The spin edit as forms use it: TCustomSpinEdit with Value published.
class TSpinEdit : public TCustomSpinEdit {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    explicit TSpinEdit(QWidget* parent = nullptr);
};
