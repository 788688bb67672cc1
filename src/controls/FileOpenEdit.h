#pragma once

#include "controls/BrowseTypes.h"
#include "controls/CustomBrowseEdit.h"

namespace platform {
struct OpenFileOptions;
}

// A drawn edit whose button opens the file-open dialog. Choosing a file writes its full path
// into the text (calling OnChange only when that differs); Cancel changes nothing. The name box
// of the dialog starts empty whatever the edit holds. Filename is the text.
//
// Of the Options, ofFileMustExist is passed on (without it the dialog also takes the name of a
// file that is not there); the others are kept for form descriptions.
class TFileOpenEdit : public TCustomBrowseEdit {
    Q_OBJECT
    Q_PROPERTY(controls::TOpenOptions Options READ Options WRITE setOptions)
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(QString InitialDir READ InitialDir WRITE setInitialDir)
    Q_PROPERTY(QString Filter READ Filter WRITE setFilter)
    Q_PROPERTY(QString Filename READ Filename WRITE setFilename)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE setDefaultExt)

public:
    explicit TFileOpenEdit(QWidget* parent = nullptr);

    TOpenOptions Options() const { return options_; }
    void setOptions(TOpenOptions options) { options_ = options; }
    // The dialog's caption; empty: the platform's.
    const QString& Title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    // The folder the dialog starts in; empty: the platform chooses.
    const QString& InitialDir() const { return initialDir_; }
    void setInitialDir(const QString& dir) { initialDir_ = dir; }
    // Description and pattern pairs, all separated by "|": "AVI files (*.avi)|*.avi".
    const QString& Filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    const QString& Filename() const { return Text(); }
    void setFilename(const QString& name) { setText(name); }
    // Added to a typed name without extension.
    const QString& DefaultExt() const { return defaultExt_; }
    void setDefaultExt(const QString& ext) { defaultExt_ = ext; }

    // What the button hands to the dialog.
    platform::OpenFileOptions dialogOptions() const;

protected:
    void DoOnBrowseClick(QObject* sender, int index) override;

private:
    TOpenOptions options_ = ofHideReadOnly;
    QString title_;
    QString initialDir_;
    QString filter_;
    QString defaultExt_;
};
