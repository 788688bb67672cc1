#include "app/AppPaths.h"

#include "core/AtomicFile.h"
#include "core/PathRules.h"
#include "core/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace app {

namespace {

const QString settingsFileName = QStringLiteral("Kirimo.ini");

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
    if (!exeFolder.isEmpty() && !core::isReadOnly(core::pathFromUtf8(exeFolder.toStdString())))
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
