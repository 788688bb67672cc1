#pragma once

#include "framework/Panel.h"
#include "platform/Colors.h"
#include "platform/FileDialogs.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

namespace browsetest {

// A plain windowed parent for the edits under test.
inline std::unique_ptr<TPanel> makeHost() {
    auto host = std::make_unique<TPanel>();
    host->setBevelOuter(bvNone);
    host->setBounds(0, 0, 300, 60);
    return host;
}

inline void key(QWidget* target, int keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, keyCode, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, keyCode, modifiers, text);
    QCoreApplication::sendEvent(target, &release);
}

// Types each character as a key of its own.
inline void type(QWidget* target, const QString& text) {
    for (const QChar c : text)
        key(target, 0, Qt::NoModifier, QString(c));
}

inline void focus(QWidget* target, QEvent::Type type) {
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(target, &event);
}

inline void mouse(QWidget* target, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

inline void click(QWidget* target, QPoint at) {
    mouse(target, QEvent::MouseButtonPress, at);
    mouse(target, QEvent::MouseButtonRelease, at);
}

inline TColor pixelAt(const QImage& image, int x, int y) {
    return platform::fromQRgb(image.pixel(x, y));
}

inline TColor painted(TColor color) {
    return TColor(platform::colorToRgb(color));
}

// Answers the file-open dialog with a fixed result and keeps every request; restores the real
// dialog when it goes.
class OpenFileAnswer {
public:
    explicit OpenFileAnswer(std::optional<QString> answer)
        : previous_(platform::setOpenFileHook([this](const platform::OpenFileRequest& request) {
              requests.push_back(request);
              return answer_;
          })),
          answer_(std::move(answer)) {}
    ~OpenFileAnswer() { platform::setOpenFileHook(std::move(previous_)); }
    OpenFileAnswer(const OpenFileAnswer&) = delete;
    OpenFileAnswer& operator=(const OpenFileAnswer&) = delete;

    std::vector<platform::OpenFileRequest> requests;

private:
    platform::OpenFileHook previous_;
    std::optional<QString> answer_;
};

// The same for the folder browser.
class FolderAnswer {
public:
    explicit FolderAnswer(std::optional<QString> answer)
        : previous_(platform::setFolderHook([this](const platform::FolderRequest& request) {
              requests.push_back(request);
              return answer_;
          })),
          answer_(std::move(answer)) {}
    ~FolderAnswer() { platform::setFolderHook(std::move(previous_)); }
    FolderAnswer(const FolderAnswer&) = delete;
    FolderAnswer& operator=(const FolderAnswer&) = delete;

    std::vector<platform::FolderRequest> requests;

private:
    platform::FolderHook previous_;
    std::optional<QString> answer_;
};

} // namespace browsetest
