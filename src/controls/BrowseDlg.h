#pragma once

#include "controls/BrowseTypes.h"
#include "framework/Component.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QFileDialog;
class QWidget;

// The folder browser as a component: Execute shows the platform's folder dialog and answers
// whether the user chose a folder; SelectedFolder is the folder shown first (when not empty)
// and, after a choice, the folder chosen. A cancelled or failed dialog leaves it as it was.
//
// While the dialog runs (Handle() is its window): on opening it is placed by Position within the
// rectangle RelatePos names, takes CaptionTitle as its caption when that is not empty, starts
// with its OK button enabled only with doEnableOK, and runs OnInit. Each change of the
// highlighted folder runs OnSelectionChanged and, with doShowPath, puts the shortened path into
// StatusText. doShowFiles lists files too.
//
// Kept for form descriptions, without an equivalent in the dialog used here: Caption (the
// text above the tree), StatusText's display (the dialog has no status line), the options
// doBrowseForComputer, doBrowseForPrinter, doDontGoBelowDomain, doReturnFileSysAncestors,
// doReturnFileSysDirs (the dialog returns file-system folders only), doStatusText and
// doAllowEdit (the dialog always has a name box), and OnValidate (the dialog checks typed
// names itself and never asks).
class TBrowseDlg : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString CaptionTitle READ CaptionTitle WRITE setCaptionTitle)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(controls::TSystemFolders StartFolder READ StartFolder WRITE setStartFolder)
    Q_PROPERTY(controls::TBrowseDlgOptions Options READ Options WRITE setOptions)
    Q_PROPERTY(QString SelectedFolder READ SelectedFolder WRITE setSelectedFolder)
    Q_PROPERTY(controls::TDlgPosition Position READ Position WRITE setPosition)
    Q_PROPERTY(controls::TDlgPosRel RelatePos READ RelatePos WRITE setRelatePos)
    Q_PROPERTY(QString StatusText READ StatusText WRITE setStatusText)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

public:
    using TBrowseInitEvent = std::function<void(TBrowseDlg& sender)>;
    using TSelectionChangedEvent =
        std::function<void(TBrowseDlg& sender, QWidget* dialog, const QString& path)>;
    using TValidateEvent =
        std::function<void(TBrowseDlg& sender, const QString& typedName, bool& keepOpen)>;

    static constexpr TBrowseDlgOptions kDefaultOptions = {doReturnFileSysDirs, doShowPath};
    // How long a path doShowPath puts into StatusText may be.
    static constexpr int kStatusPathLength = 40;

    explicit TBrowseDlg(QObject* owner = nullptr);
    ~TBrowseDlg() override;

    // Owned by the owner's form, or else by the application's main form.
    bool Execute();
    // Owned by the given form; none: no owner window.
    bool ExecuteEnh(QWidget* ownerForm);
    // Enables or disables the running dialog's OK button.
    void EnableOKButton(bool enable);

    const QString& CaptionTitle() const { return captionTitle_; }
    void setCaptionTitle(const QString& title) { captionTitle_ = title; }
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }
    TSystemFolders StartFolder() const { return startFolder_; }
    void setStartFolder(TSystemFolders folder) { startFolder_ = folder; }
    TBrowseDlgOptions Options() const { return options_; }
    void setOptions(TBrowseDlgOptions options) { options_ = options; }
    const QString& SelectedFolder() const { return selectedFolder_; }
    // While the dialog runs, it moves to the folder at once.
    void setSelectedFolder(const QString& folder);
    TDlgPosition Position() const { return position_; }
    void setPosition(TDlgPosition position) { position_ = position; }
    TDlgPosRel RelatePos() const { return relatePos_; }
    void setRelatePos(TDlgPosRel relation) { relatePos_ = relation; }
    const QString& StatusText() const { return statusText_; }
    void setStatusText(const QString& text) { statusText_ = text; }

    // The chosen folder's name as the dialog shows it.
    const QString& DisplayName() const { return displayName_; }
    // The running dialog's window; nullptr when it is not running.
    QWidget* Handle() const;

    const TBrowseInitEvent& OnInit() const { return onInit_; }
    void setOnInit(TBrowseInitEvent handler) { onInit_ = std::move(handler); }
    const TSelectionChangedEvent& OnSelectionChanged() const { return onSelectionChanged_; }
    void setOnSelectionChanged(TSelectionChangedEvent handler) {
        onSelectionChanged_ = std::move(handler);
    }
    const TValidateEvent& OnValidate() const { return onValidate_; }
    void setOnValidate(TValidateEvent handler) { onValidate_ = std::move(handler); }

    // OnInit.
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;

    // The folder the dialog opens in: SelectedFolder, else the StartFolder's place on this
    // system, else empty (the platform chooses).
    QString initialFolder() const;

private:
    void dialogShown(QFileDialog& dialog);
    void selectionChanged(const QString& path);

    QString captionTitle_;
    QString caption_;
    TSystemFolders startFolder_ = bfoDesktopExpanded;
    TBrowseDlgOptions options_ = kDefaultOptions;
    QString selectedFolder_;
    TDlgPosition position_ = bpCenter;
    TDlgPosRel relatePos_ = brActiveWindow;
    QString statusText_;
    QString displayName_;
    QPointer<QFileDialog> running_;
    TBrowseInitEvent onInit_;
    TSelectionChangedEvent onSelectionChanged_;
    TValidateEvent onValidate_;
};

namespace controls {
// Where a special folder lies on this system; empty for folders it does not have.
QString systemFolderPath(TSystemFolders folder);
} // namespace controls
