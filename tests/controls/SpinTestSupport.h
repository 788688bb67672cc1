#pragma once

#include "controls/SpinButton.h"
#include "controls/SpinEdit.h"
#include "framework/Panel.h"
#include "platform/Colors.h"
#include "platform/ServiceRecorder.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace spintest {

// The key code a plain key for the character would have.
inline int keyFor(QChar c) {
    if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
        return c.toUpper().unicode();
    return Qt::Key_unknown;
}

// Sends one key press; answers whether some widget accepted it.
inline bool sendKey(QWidget* target, int key, const QString& text = {},
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &event);
    return event.isAccepted();
}

inline void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

inline void sendWheel(QWidget* target, int delta) {
    const QPointF at(2, 2);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
}

inline void sendFocus(QWidget* target, QEvent::Type type, Qt::FocusReason reason) {
    QFocusEvent event(type, reason);
    QCoreApplication::sendEvent(target, &event);
}

inline TColor painted(TColor color) {
    return TColor(platform::colorToRgb(color));
}

// A spin edit as the main window has them (73 x 19, silver, white 11-pixel text) on a plain
// host, recording the text at each OnChange call and every beep and error report.
class SpinEditTest : public ::testing::Test {
protected:
    SpinEditTest() : host_(std::make_unique<TPanel>()) {
        host_->setBevelOuter(bvNone);
        host_->setBounds(0, 0, 200, 100);
        edit = new TSpinEdit(host_.get()); // owned by the host
        TFont font;
        font.setHeight(-11);
        font.setColor(clWhite);
        edit->setFont(font);
        edit->setColor(clSilver);
        edit->setBounds(10, 10, 73, 19);
        edit->setOnChange([this] {
            changes << edit->Text();
            if (onChange)
                onChange();
        });
    }

    QLineEdit* editor() const { return edit->Editor(); }

    // Puts the caret after the text.
    void caretToEnd() { editor()->setCursorPosition(int(editor()->text().size())); }

    void type(const QString& text) {
        for (const QChar c : text)
            sendKey(editor(), keyFor(c), QString(c));
    }

    // Replaces the whole text as the user would: select all, type.
    void retype(const QString& text) {
        editor()->selectAll();
        type(text);
    }

    // Destroyed in reverse: the host and its edit go first.
    platform::ServiceRecorder services;
    QStringList changes;
    std::function<void()> onChange;
    std::unique_ptr<TPanel> host_;
    TSpinEdit* edit = nullptr;
};

} // namespace spintest
