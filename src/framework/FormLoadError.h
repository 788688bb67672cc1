#pragma once

#include "core/Error.h"

#include <QString>

// A form description that cannot be read or applied: says where (source and line) and why.
class FormLoadError : public core::Error {
public:
    FormLoadError(const QString& source, int line, const QString& reason)
        : core::Error(QStringLiteral("%1:%2: %3").arg(source).arg(line).arg(reason).toStdString()),
          line_(line), reason_(reason) {}

    int line() const { return line_; }
    const QString& reason() const { return reason_; }

private:
    int line_;
    QString reason_;
};
