#pragma once

#include <QString>
#include <memory>

namespace core {
class ProfileFile;
}

// The settings-file object over the profile engine. Reads fall back to the given default; a
// write the file system refuses raises core::Error "<file> に書き込めません".
class TIniFile {
public:
    explicit TIniFile(const QString& fileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const QString& FileName() const { return fileName_; }

    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    int ReadInteger(const QString& section, const QString& key, int fallback) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);

private:
    [[noreturn]] void raiseWriteError() const;

    QString fileName_;
    std::unique_ptr<core::ProfileFile> file_;
};
