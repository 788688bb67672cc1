#include "controls/FileOpenEdit.h"

#include "controls/ControlGlyphs.h"
#include "controls/DialogPlacement.h"
#include "controls/DialogText.h"
#include "controls/FileDialogWatcher.h"
#include "core/PathRules.h"
#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QPointer>
#include <optional>

TFileOpenEdit::TFileOpenEdit(QWidget* parent)
    : TCustomBrowseEdit(parent, controls::openFolderGlyph()) {}

platform::OpenFileOptions TFileOpenEdit::dialogOptions() const {
    platform::OpenFileOptions options;
    options.title = title_;
    options.filter = platform::qtFileFilter(filter_);
    options.filterIndex = 1;
    options.initialDir = controls::dialogInitialDir(initialDir_, core::PathRules::native());
    options.defaultExt = defaultExt_;
    options.fileMustExist = options_.testFlag(ofFileMustExist);
    return options;
}

void TFileOpenEdit::DoOnBrowseClick(QObject*, int) {
    QWidget* owner = window();
    const QRect monitor = controls::dialogMonitor(owner);
    std::optional<QString> chosen;
    {
        const FileDialogWatcher placement([monitor](QFileDialog& dialog) {
            dialog.move(controls::fileDialogTopLeft(monitor, dialog.size()));
        });
        const QPointer<TFileOpenEdit> self(this);
        chosen = platform::openFileDialog(owner, dialogOptions());
        if (!self) // closed while the dialog ran
            return;
    }
    // A dialog never confirms an empty name; take one as Cancel.
    if (chosen && !chosen->isEmpty())
        setText(*chosen);
}
