#include "platform/ServiceRecorder.h"

#include <utility>

namespace platform {

ServiceRecorder::ServiceRecorder()
    : previousShell_(setShellOpenHook([this](const QString& target) {
          shellOpens << target;
          return shellOpenResult;
      })),
      previousBeep_(setBeepHook([this] { ++beeps; })),
      previousMessageBox_(setMessageBoxHook([this](const MessageBoxRequest& request) {
          messages.push_back(request);
          return messageBoxAnswer;
      })),
      previousOpenFile_(setOpenFileHook([this](const OpenFileRequest& request) {
          openFileRequests.push_back(request);
          return openFileAnswer;
      })),
      previousFolder_(setFolderHook([this](const FolderRequest& request) {
          folderRequests.push_back(request);
          return folderAnswer;
      })) {}

ServiceRecorder::~ServiceRecorder() {
    setFolderHook(std::move(previousFolder_));
    setOpenFileHook(std::move(previousOpenFile_));
    setMessageBoxHook(std::move(previousMessageBox_));
    setBeepHook(std::move(previousBeep_));
    setShellOpenHook(std::move(previousShell_));
}

QStringList ServiceRecorder::messageTexts() const {
    QStringList texts;
    for (const MessageBoxRequest& m : messages)
        texts << m.text;
    return texts;
}

} // namespace platform
