#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QFileDialog;

// While it lives, reports the first file dialog shown anywhere in the application as it is being
// shown (before it appears on the screen), and when that dialog hides again. The dialog
// functions of the platform create their dialogs themselves; this is how their callers place
// and adjust them. A handler's error goes to the standard error report.
class FileDialogWatcher : public QObject {
    Q_OBJECT

public:
    using ShownHandler = std::function<void(QFileDialog& dialog)>;
    using HiddenHandler = std::function<void()>;

    explicit FileDialogWatcher(ShownHandler shown, HiddenHandler hidden = {});
    ~FileDialogWatcher() override;
    FileDialogWatcher(const FileDialogWatcher&) = delete;
    FileDialogWatcher& operator=(const FileDialogWatcher&) = delete;

    // The dialog while it is shown, else nullptr.
    QFileDialog* dialog() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ShownHandler shown_;
    HiddenHandler hidden_;
    QPointer<QFileDialog> dialog_;
    bool seen_ = false;
};
