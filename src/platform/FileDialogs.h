#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace platform {

struct OpenFileOptions {
    QString title;
    // Either the platform's "Description|*.a;*.b|Other|*.c" pairs or Qt's "Description (*.a)".
    QString filter;
    int filterIndex = 1; // 1-based, as in the filter pairs
    QString initialDir;
    QString fileName;   // proposed file name
    QString defaultExt; // added to a typed name without extension
    bool fileMustExist = true;
};

struct FolderOptions {
    QString title;
    QString initialDir;
    bool showFiles = false;
};

// Requests as the hooks see them.
struct OpenFileRequest {
    QWidget* owner = nullptr;
    OpenFileOptions options;
};
struct FolderRequest {
    QWidget* owner = nullptr;
    FolderOptions options;
};

// The modal file-open dialog: the chosen file's full path (native separators), or nothing when
// cancelled.
std::optional<QString> openFileDialog(QWidget* owner, const OpenFileOptions& options);

// The modal folder browser: the chosen folder (native separators), or nothing when cancelled.
std::optional<QString> selectFolderDialog(QWidget* owner, const FolderOptions& options);

// "AVI files (*.avi)|*.avi|All|*.*" -> "AVI files (*.avi);;All (*.*)": each description with its
// patterns in parentheses once (a description that already ends in them keeps them), the
// patterns separated by blanks. A text without "|" is taken as Qt's own filter text.
QString qtFileFilter(const QString& pairs);

// Test seams: while set, the hook answers instead of a dialog. Each setter returns the previous
// hook; an empty function restores the real dialogs.
using OpenFileHook = std::function<std::optional<QString>(const OpenFileRequest&)>;
OpenFileHook setOpenFileHook(OpenFileHook hook);

using FolderHook = std::function<std::optional<QString>(const FolderRequest&)>;
FolderHook setFolderHook(FolderHook hook);

} // namespace platform
