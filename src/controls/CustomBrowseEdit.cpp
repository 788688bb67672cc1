#include "controls/CustomBrowseEdit.h"

#include "controls/EditButton.h"

TCustomBrowseEdit::TCustomBrowseEdit(QWidget* parent) : TCustomBrowseEdit(parent, QImage()) {}

TCustomBrowseEdit::TCustomBrowseEdit(QWidget* parent, const QImage& glyph) : TDrawnEdit(parent) {
    setButtonWidth(kBrowseButtonWidth);
    AddButton(glyph);
}

void TCustomBrowseEdit::DoOnBrowseClick(QObject*, int) {}

void TCustomBrowseEdit::ButtonClick(int index) {
    DoOnBrowseClick(Button(index), index);
}
