#include "platform/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
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

QString normalisedPatterns(const QString& patterns) {
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    return patterns.split(separators, Qt::SkipEmptyParts).join(u' ');
}

// The description without a trailing "(patterns)" that repeats its own patterns.
QString withoutOwnPatterns(const QString& description, const QString& patterns) {
    const QString text = description.trimmed();
    const qsizetype open = text.lastIndexOf(u'(');
    if (!text.endsWith(u')') || open < 0)
        return text;
    const QString inner = text.mid(open + 1, text.size() - open - 2);
    if (normalisedPatterns(inner) != patterns)
        return text;
    return text.left(open).trimmed();
}

} // namespace

QString qtFileFilter(const QString& pairs) {
    if (!pairs.contains(u'|'))
        return pairs;
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = normalisedPatterns(parts[i + 1]);
        const QString description = withoutOwnPatterns(parts[i], patterns);
        const QString suffix = u'(' + patterns + u')';
        filters << (description.isEmpty() ? suffix : description + u' ' + suffix);
    }
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
