#include "controls/BrowseEdit.h"

#include "controls/BrowseDlg.h"
#include "controls/ControlGlyphs.h"

#include <QPointer>

TBrowseEdit::TBrowseEdit(QWidget* parent)
    : TCustomBrowseEdit(parent, controls::folderGlyph()), options_(TBrowseDlg::kDefaultOptions) {}

void TBrowseEdit::DoOnBrowseClick(QObject*, int) {
    TBrowseDlg dialog;
    dialog.setStartFolder(startFolder_);
    dialog.setOptions(options_);
    if (startWithLast_ && !Text().isEmpty())
        dialog.setSelectedFolder(Text());
    if (onExecute_)
        onExecute_(*this, dialog);

    const QPointer<TBrowseEdit> self(this);
    const bool chosen = dialog.ExecuteEnh(window());
    if (self && chosen)
        setText(dialog.SelectedFolder());
}
