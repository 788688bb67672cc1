#include "controls/FileDialogWatcher.h"

#include "framework/ErrorReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>

FileDialogWatcher::FileDialogWatcher(ShownHandler shown, HiddenHandler hidden)
    : shown_(std::move(shown)), hidden_(std::move(hidden)) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

FileDialogWatcher::~FileDialogWatcher() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

QFileDialog* FileDialogWatcher::dialog() const {
    return dialog_.data();
}

bool FileDialogWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && !seen_) {
        auto* dialog = qobject_cast<QFileDialog*>(watched);
        if (dialog != nullptr && dialog->isWindow()) {
            seen_ = true;
            dialog_ = dialog;
            if (shown_)
                runGuarded([&] { shown_(*dialog); });
        }
    } else if (event->type() == QEvent::Hide && watched == dialog_.data()) {
        dialog_ = nullptr;
        if (hidden_)
            runGuarded([&] { hidden_(); });
    }
    return QObject::eventFilter(watched, event);
}
