#pragma once

#include "controls/BrowseTypes.h"
#include "controls/CustomBrowseEdit.h"

#include <functional>

class TBrowseDlg;

// A drawn edit whose button opens the folder browser. The dialog starts from StartFolder with
// Options; with StartWithLast and a text, it opens at the folder the text names, otherwise at
// no particular folder whatever the text holds. OnExecute may adjust the prepared dialog just
// before it shows. A chosen folder's path is written into the text (calling OnChange only when
// that differs); Cancel changes nothing. Path is the text.
class TBrowseEdit : public TCustomBrowseEdit {
    Q_OBJECT
    Q_PROPERTY(controls::TBrowseDlgOptions Options READ Options WRITE setOptions)
    Q_PROPERTY(QString Path READ Path WRITE setPath)
    Q_PROPERTY(controls::TSystemFolders StartFolder READ StartFolder WRITE setStartFolder)
    Q_PROPERTY(bool StartWithLast READ StartWithLast WRITE setStartWithLast)

public:
    using TBrowseExecuteEvent = std::function<void(TBrowseEdit& sender, TBrowseDlg& dialog)>;

    explicit TBrowseEdit(QWidget* parent = nullptr);

    TBrowseDlgOptions Options() const { return options_; }
    void setOptions(TBrowseDlgOptions options) { options_ = options; }
    const QString& Path() const { return Text(); }
    void setPath(const QString& path) { setText(path); }
    TSystemFolders StartFolder() const { return startFolder_; }
    void setStartFolder(TSystemFolders folder) { startFolder_ = folder; }
    bool StartWithLast() const { return startWithLast_; }
    void setStartWithLast(bool startWithLast) { startWithLast_ = startWithLast; }

    const TBrowseExecuteEvent& OnExecute() const { return onExecute_; }
    void setOnExecute(TBrowseExecuteEvent handler) { onExecute_ = std::move(handler); }

protected:
    void DoOnBrowseClick(QObject* sender, int index) override;

private:
    TBrowseDlgOptions options_;
    TSystemFolders startFolder_ = bfoDesktopExpanded;
    bool startWithLast_ = false;
    TBrowseExecuteEvent onExecute_;
};
