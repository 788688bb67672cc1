#pragma once

#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace platform {

// For tests: while alive, every shell open, beep, message box and file or folder dialog is
// recorded and answered from the fields below instead of reaching the desktop. Restores the
// previous hooks when destroyed. Not copyable; one at a time is the intended use.
class ServiceRecorder {
public:
    ServiceRecorder();
    ~ServiceRecorder();
    ServiceRecorder(const ServiceRecorder&) = delete;
    ServiceRecorder& operator=(const ServiceRecorder&) = delete;

    // Recorded calls, in order.
    QStringList shellOpens;
    int beeps = 0;
    std::vector<MessageBoxRequest> messages;
    std::vector<OpenFileRequest> openFileRequests;
    std::vector<FolderRequest> folderRequests;

    // Answers.
    bool shellOpenResult = true;
    int messageBoxAnswer = IdOk;
    std::optional<QString> openFileAnswer;
    std::optional<QString> folderAnswer;

    // The texts of the recorded message boxes.
    QStringList messageTexts() const;

private:
    ShellOpenHook previousShell_;
    BeepHook previousBeep_;
    MessageBoxHook previousMessageBox_;
    OpenFileHook previousOpenFile_;
    FolderHook previousFolder_;
};

} // namespace platform
