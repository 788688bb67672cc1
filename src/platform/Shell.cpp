#include "platform/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

namespace platform {
namespace {

ShellOpenHook& shellHook() {
    static ShellOpenHook hook;
    return hook;
}

BeepHook& beepHook() {
    static BeepHook hook;
    return hook;
}

// Only these schemes name addresses; anything else (including "C:") is a path.
bool hasAddressScheme(const QString& target) {
    static const char* const schemes[] = {"http:", "https:", "mailto:", "ftp:", "file:"};
    for (const char* scheme : schemes)
        if (target.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QUrl shellTargetUrl(const QString& target) {
    if (hasAddressScheme(target)) {
        const qsizetype colon = target.indexOf(u':');
        // Schemes are case-insensitive for the shell but QUrl wants them in lower case.
        return QUrl(target.left(colon).toLower() + target.mid(colon), QUrl::TolerantMode);
    }
    return QUrl::fromLocalFile(QFileInfo(QDir::fromNativeSeparators(target)).absoluteFilePath());
}

bool shellOpen(const QString& target) {
    if (const ShellOpenHook& hook = shellHook())
        return hook(target);
    if (target.isEmpty())
        return false;
    return QDesktopServices::openUrl(shellTargetUrl(target));
}

ShellOpenFailure shellOpenFailure(const QString& target) {
    const QUrl url = shellTargetUrl(target);
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return ShellOpenFailure::NoSuchFile;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt hands every target to xdg-open on these desktops.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return ShellOpenFailure::NoOpener;
#endif
    return ShellOpenFailure::Refused;
}

void beep() {
    if (const BeepHook& hook = beepHook()) {
        hook();
        return;
    }
    QApplication::beep();
}

ShellOpenHook setShellOpenHook(ShellOpenHook hook) {
    return std::exchange(shellHook(), std::move(hook));
}

BeepHook setBeepHook(BeepHook hook) {
    return std::exchange(beepHook(), std::move(hook));
}

} // namespace platform
