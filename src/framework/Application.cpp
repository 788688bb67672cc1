#include "framework/Application.h"

#include "framework/ErrorReport.h"
#include "framework/Form.h"

TApplication* Application = nullptr;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    Application = this;
    // The main form's close ends the application, not the last window closed.
    setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication() {
    // Forms go first, newest first, while the application still exists.
    while (!forms_.empty())
        forms_.pop_back();
    mainForm_ = nullptr;
    Application = nullptr;
}

namespace {

QString& applicationTitle() {
    static QString title;
    return title;
}

} // namespace

QString TApplication::Title() {
    return applicationTitle();
}

void TApplication::setTitle(const QString& title) {
    applicationTitle() = title;
}

void TApplication::ProcessMessages() {
    processEvents();
}

void TApplication::HandleException(const std::exception& error) {
    reportException(error);
}

void TApplication::adoptForm(std::unique_ptr<TForm> form) {
    if (mainForm_ == nullptr)
        mainForm_ = form.get();
    forms_.push_back(std::move(form));
}

int TApplication::Run() {
    if (mainForm_ != nullptr)
        mainForm_->Show();
    return exec();
}

void TApplication::Terminate() {
    quit();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandleException(error);
    } catch (...) {
        reportUnknownException();
    }
    return false;
}
