#include "controls/SpinEdit.h"

TSpinEdit::TSpinEdit(QWidget* parent) : TCustomSpinEdit(parent) {}
