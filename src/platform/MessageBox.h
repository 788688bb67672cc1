#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// The answer codes of the desktop platform's message box.
enum MessageAnswer : int {
    IdOk = 1,
    IdCancel = 2,
    IdAbort = 3,
    IdRetry = 4,
    IdIgnore = 5,
    IdYes = 6,
    IdNo = 7,
};

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Shows a modal message box centred on the screen and returns the button pressed (IdOk...);
// closing it without a button gives the escape answer (Cancel, No or Ok).
int messageBox(QWidget* owner, const QString& text, const QString& caption,
               MessageIcon icon = MessageIcon::None, MessageButtons buttons = MessageButtons::Ok);

// While a hook is set, messageBox() asks it instead of showing anything. Returns the previous
// hook; pass an empty function to show real boxes again.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

} // namespace platform
