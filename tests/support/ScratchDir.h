#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

// A fresh folder under KIRIMO_TEST_TMP (or the system's temp folder), removed afterwards.
class ScratchDir {
public:
    explicit ScratchDir(const QString& prefix) : dir_(templatePath(prefix)) {}
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    static QString templatePath(const QString& prefix) {
        const char* root = std::getenv("KIRIMO_TEST_TMP");
        const QString base = root != nullptr ? QString::fromLocal8Bit(root) : QDir::tempPath();
        QDir().mkpath(base);
        return base + u'/' + prefix + QStringLiteral("-XXXXXX");
    }

    QTemporaryDir dir_;
};
