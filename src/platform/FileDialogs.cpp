#include "platform/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>
#include <utility>

namespace platform {
namespace {

OpenFileHook& openHook() {
    static OpenFileHook hook;
    return hook;
}

FolderHook& folderHook() {
    static FolderHook hook;
    return hook;
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QString qtFileFilter(const QString& pairs) {
    if (!pairs.contains(u'|'))
        return pairs;
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(u';', u' ');
        filters << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    if (parts.size() % 2 != 0 && !parts.back().isEmpty())
        filters << parts.back(); // a description without patterns
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> openFileDialog(QWidget* owner, const OpenFileOptions& options) {
    if (const OpenFileHook& hook = openHook())
        return hook(OpenFileRequest{owner, options});

    QFileDialog dialog(owner, options.title, options.initialDir, qtFileFilter(options.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!options.defaultExt.isEmpty())
        dialog.setDefaultSuffix(options.defaultExt);
    const QStringList filters = dialog.nameFilters();
    if (options.filterIndex >= 1 && options.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[options.filterIndex - 1]);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return nativePath(dialog.selectedFiles().front());
}

std::optional<QString> selectFolderDialog(QWidget* owner, const FolderOptions& options) {
    if (const FolderHook& hook = folderHook())
        return hook(FolderRequest{owner, options});

    QFileDialog dialog(owner, options.title, options.initialDir);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, !options.showFiles);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return nativePath(dialog.selectedFiles().front());
}

OpenFileHook setOpenFileHook(OpenFileHook hook) {
    return std::exchange(openHook(), std::move(hook));
}

FolderHook setFolderHook(FolderHook hook) {
    return std::exchange(folderHook(), std::move(hook));
}

} // namespace platform
