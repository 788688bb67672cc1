#include "platform/MessageBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <utility>
#include <vector>

namespace platform {
namespace {

MessageBoxHook& hookSlot() {
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonAnswer> buttonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return {{QMessageBox::Ok, IdOk}};
    case MessageButtons::OkCancel:
        return {{QMessageBox::Ok, IdOk}, {QMessageBox::Cancel, IdCancel}};
    case MessageButtons::YesNo:
        return {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}};
    case MessageButtons::YesNoCancel:
        return {
            {QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}, {QMessageBox::Cancel, IdCancel}};
    case MessageButtons::RetryCancel:
        return {{QMessageBox::Retry, IdRetry}, {QMessageBox::Cancel, IdCancel}};
    case MessageButtons::AbortRetryIgnore:
        return {{QMessageBox::Abort, IdAbort},
                {QMessageBox::Retry, IdRetry},
                {QMessageBox::Ignore, IdIgnore}};
    }
    return {{QMessageBox::Ok, IdOk}};
}

void centreOnScreen(QWidget& box) {
    box.adjustSize();
    QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
}

} // namespace

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    return std::exchange(hookSlot(), std::move(hook));
}

int messageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
               MessageButtons buttons) {
    if (const MessageBoxHook& hook = hookSlot())
        return hook(MessageBoxRequest{owner, text, caption, icon, buttons});

    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, owner);
    const std::vector<ButtonAnswer> answers = buttonsOf(buttons);
    QMessageBox::StandardButtons standard;
    for (const ButtonAnswer& b : answers)
        standard |= b.button;
    box.setStandardButtons(standard);
    centreOnScreen(box);
    const int pressed = box.exec();
    for (const ButtonAnswer& b : answers)
        if (b.button == pressed)
            return b.answer;
    // Closed by the window's close box or Escape: the platform answers with the escape button.
    if (standard & QMessageBox::Cancel)
        return IdCancel;
    if (buttons == MessageButtons::YesNo)
        return IdNo;
    return answers.front().answer;
}

} // namespace platform
