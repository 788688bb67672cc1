#include "framework/IniFile.h"

#include "core/Error.h"
#include "core/ProfileFile.h"

#include <QFile>
#include <filesystem>

namespace {

std::filesystem::path nativePath(const QString& fileName) {
#ifdef Q_OS_WIN
    return std::filesystem::path(fileName.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
#endif
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

} // namespace

TIniFile::TIniFile(const QString& fileName)
    : fileName_(fileName), file_(std::make_unique<core::ProfileFile>(nativePath(fileName))) {}

TIniFile::~TIniFile() = default;

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& fallback) const {
    return QString::fromStdString(file_->readString(utf8(section), utf8(key), utf8(fallback)));
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int fallback) const {
    return file_->readInteger(utf8(section), utf8(key), fallback);
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (!file_->writeString(utf8(section), utf8(key), utf8(value)))
        raiseWriteError();
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    if (!file_->writeInteger(utf8(section), utf8(key), value))
        raiseWriteError();
}

void TIniFile::raiseWriteError() const {
    throw core::Error(QStringLiteral("%1 に書き込めません").arg(fileName_).toStdString());
}
