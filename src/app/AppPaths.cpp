#include "app/AppPaths.h"

#include "core/AtomicFile.h"
#include "core/PathRules.h"
#include "core/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

// Where the install rules put the documentation, seen from the installed executable's folder
// (set by the build from the install directories).
#ifndef KIRIMO_DOCDIR_FROM_BINDIR
#define KIRIMO_DOCDIR_FROM_BINDIR "../share/doc/kirimo-avi"
#endif

namespace app {

namespace {

const QString settingsFileName = QStringLiteral("Kirimo.ini");
const QString guideFileName = QStringLiteral("Readme.txt");

const QString docDirFromBinDir = QStringLiteral(KIRIMO_DOCDIR_FROM_BINDIR);

// Creating a file is the only sure test: on Windows a protected program folder is refused by
// its access rules, which no read-only mark shows.
bool canCreateFilesIn(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("Kirimo-XXXXXX.tmp")));
    return probe.open();
}

// A folder of the program's own holds its user's guide or its settings beside it, as the build
// tree and an unpacked copy do; a shared folder that a package installs into (/usr/bin) does not.
bool isProgramFolder(const QString& exeFolder) {
    const QDir folder(exeFolder);
    return !exeFolder.isEmpty() &&
           (folder.exists(guideFileName) || folder.exists(settingsFileName));
}

} // namespace

QString exeDirOf(const QString& exePath, const core::PathRules& rules) {
    return QString::fromStdString(core::extractFileDir(exePath.toStdString(), rules));
}

QString executableDir() {
    return exeDirOf(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()),
                    core::PathRules::native());
}

QString guidePath(const QString& exeDir) {
    const QString beside = exeDir + QStringLiteral("/") + guideFileName;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(QDir(exeDir).filePath(docDirFromBinDir) +
                                              QStringLiteral("/") + guideFileName);
    return QFileInfo::exists(installed) ? QDir::toNativeSeparators(installed) : beside;
}

QString settingsFilePath(const QString& exeFolder) {
    if (isProgramFolder(exeFolder) &&
        !core::isReadOnly(core::pathFromUtf8(exeFolder.toStdString())) &&
        canCreateFilesIn(exeFolder))
        return QDir(exeFolder).filePath(settingsFileName);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(config).filePath(settingsFileName);
}

QString settingsFilePath() {
    return settingsFilePath(QCoreApplication::applicationDirPath());
}

QString defaultDestination() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:/My Documents");
#else
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
#endif
}

} // namespace app
