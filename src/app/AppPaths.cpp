#include "app/AppPaths.h"

#include "core/AtomicFile.h"
#include "core/PathRules.h"
#include "core/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace app {

namespace {

const QString settingsFileName = QStringLiteral("Kirimo.ini");

// Creating a file is the only sure test: on Windows a protected program folder is refused by
// its access rules, which no read-only mark shows.
bool canCreateFilesIn(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("Kirimo-XXXXXX.tmp")));
    return probe.open();
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
    return exeDir + QStringLiteral("/Readme.txt");
}

QString settingsFilePath(const QString& exeFolder) {
    if (!exeFolder.isEmpty() && !core::isReadOnly(core::pathFromUtf8(exeFolder.toStdString())) &&
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
