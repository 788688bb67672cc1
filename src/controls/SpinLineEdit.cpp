#include "controls/SpinLineEdit.h"

#include "controls/CustomSpinEdit.h"
#include "framework/ErrorReport.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

SpinLineEdit::SpinLineEdit(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setAcceptDrops(false);
    setDragEnabled(false);
    // The program may write more than the user may type; the host limits typing itself.
    setMaxLength(32767);
}

void SpinLineEdit::clearUndo() {
    const int cursor = cursorPosition();
    const int start = selectionStart();
    const int length = selectionLength();
    QLineEdit::setText(text()); // the same text: no change signal, history emptied
    if (length == 0)
        setCursorPosition(cursor);
    else if (cursor == start)
        setSelection(start + length, -length);
    else
        setSelection(start, length);
}

bool SpinLineEdit::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    if (host_ != nullptr)
        host_->syncText();
    return handled;
}

void SpinLineEdit::keyPressEvent(QKeyEvent* event) {
    if (host_ == nullptr) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    runGuarded([&] { host_->editorKeyPress(event); });
}

void SpinLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (host_ == nullptr || event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Committed characters are typed characters: refused ones are dropped with a beep, and
    // MaxLength holds.
    QString accepted;
    runGuarded([&] { accepted = host_->editorCommitted(event->commitString()); });
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(accepted, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

void SpinLineEdit::focusInEvent(QFocusEvent* event) {
    const bool hadSelection = hasSelectedText();
    const int cursor = cursorPosition();
    QLineEdit::focusInEvent(event);
    // Selecting on entry is the host's decision (AutoSelect), not the line edit's.
    if (!hadSelection && hasSelectedText()) {
        deselect();
        setCursorPosition(cursor);
    }
    if (host_ != nullptr)
        runGuarded([&] { host_->editorFocusIn(event->reason()); });
}

void SpinLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (host_ != nullptr)
        runGuarded([&] { host_->editorFocusOut(event->reason()); });
}

void SpinLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (host_ == nullptr || event->button() != Qt::MiddleButton ||
        !clipboard->supportsSelection()) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    const QString text = clipboard->text(QClipboard::Selection);
    runGuarded([&] { host_->editorMiddlePaste(text); });
}

void SpinLineEdit::wheelEvent(QWheelEvent* event) {
    if (host_ == nullptr) {
        QLineEdit::wheelEvent(event);
        return;
    }
    event->accept();
    runGuarded([&] { host_->editorWheel(event->angleDelta().y()); });
}

void SpinLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (host_ == nullptr) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The platform edit's own menu; cut and paste go through the host, which may refuse them.
    const bool selection = hasSelectedText();
    const bool writable = !isReadOnly();
    const bool editable = host_->editingAllowed();
    const bool clipboardText = !QGuiApplication::clipboard()->text().isEmpty();
    QMenu menu;
    const auto add = [&](const char* text, QKeySequence::StandardKey key, bool enabled,
                         void (TCustomSpinEdit::*command)()) {
        const QString label = QCoreApplication::translate("QLineEdit", text) + u'\t' +
                              QKeySequence(key).toString(QKeySequence::NativeText);
        QAction* action = menu.addAction(label);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, command] {
            if (host_ != nullptr)
                runGuarded([&] { (host_->*command)(); });
        });
    };
    add("&Undo", QKeySequence::Undo, writable && isUndoAvailable(), &TCustomSpinEdit::Undo);
    menu.addSeparator();
    add("Cu&t", QKeySequence::Cut, editable && selection, &TCustomSpinEdit::CutToClipboard);
    add("&Copy", QKeySequence::Copy, selection, &TCustomSpinEdit::CopyToClipboard);
    add("&Paste", QKeySequence::Paste, editable && clipboardText,
        &TCustomSpinEdit::PasteFromClipboard);
    add("Delete", QKeySequence::Delete, writable && selection, &TCustomSpinEdit::ClearSelection);
    menu.addSeparator();
    add("Select All", QKeySequence::SelectAll, !text().isEmpty(), &TCustomSpinEdit::SelectAll);
    menu.exec(event->globalPos());
}
