#include "framework/ErrorReport.h"

#include "framework/Application.h"
#include "platform/MessageBox.h"

#include <QApplication>

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

namespace {

void showReport(const QString& message) {
    platform::messageBox(QApplication::activeWindow(), errorReportText(message),
                         TApplication::Title(), platform::MessageIcon::Error,
                         platform::MessageButtons::Ok);
}

} // namespace

void reportException(const std::exception& error) {
    showReport(QString::fromUtf8(error.what()));
}

void reportUnknownException() {
    showReport(QStringLiteral("不明な例外が発生しました"));
}

bool runGuarded(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        reportException(error);
    } catch (...) {
        reportUnknownException();
    }
    return false;
}
