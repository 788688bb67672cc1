#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <memory>
#include <vector>

class TForm;

// The application object: title, the forms it owns, the message loop and the standard error
// report for exceptions that escape any event handler.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The application's name for the user (message box captions). Kept apart from Qt's
    // display name, which Qt would append to every window's caption.
    static QString Title();
    static void setTitle(const QString& title);

    // Handles every pending event, then returns.
    void ProcessMessages();
    // The standard error report.
    void HandleException(const std::exception& error);

    // Creates a form the application owns until it ends; the first one is the main form.
    template <class T> T* CreateForm() {
        auto form = std::make_unique<T>();
        T* created = form.get();
        adoptForm(std::move(form));
        return created;
    }
    void adoptForm(std::unique_ptr<TForm> form);
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and runs the message loop until the application ends.
    int Run();
    // Ends the message loop.
    void Terminate();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::vector<std::unique_ptr<TForm>> forms_;
    TForm* mainForm_ = nullptr;
};

// The application object, or nullptr before it exists.
extern TApplication* Application;
