#include "controls/EditEngine.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <array>

namespace {

bool movesOrCopies(const QKeyEvent* event) {
    static constexpr std::array keys{
        QKeySequence::MoveToNextChar,
        QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToNextWord,
        QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToStartOfLine,
        QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock,
        QKeySequence::MoveToEndOfBlock,
        QKeySequence::MoveToStartOfDocument,
        QKeySequence::MoveToEndOfDocument,
        QKeySequence::SelectNextChar,
        QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,
        QKeySequence::SelectPreviousWord,
        QKeySequence::SelectStartOfLine,
        QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock,
        QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument,
        QKeySequence::SelectEndOfDocument,
        QKeySequence::SelectAll,
        QKeySequence::Deselect,
        QKeySequence::Copy,
    };
    for (const QKeySequence::StandardKey key : keys)
        if (event->matches(key))
            return true;
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool triesToEdit(const QKeyEvent* event) {
    static constexpr std::array keys{
        QKeySequence::Paste,
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::Delete,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteCompleteLine,
        QKeySequence::Backspace,
    };
    for (const QKeySequence::StandardKey key : keys)
        if (event->matches(key))
            return true;
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
        return true;
    const QString text = event->text();
    return !text.isEmpty() && text.front().isPrint();
}

} // namespace

EditEngine::EditEngine(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    // Dropped files go on to the window (which loads them), not into the text.
    setAcceptDrops(false);
}

void EditEngine::setRefusesEdits(bool refuse) {
    if (refuse == refuse_)
        return;
    refuse_ = refuse;
    setAttribute(Qt::WA_InputMethodEnabled, !refuse);
}

void EditEngine::keyPressEvent(QKeyEvent* event) {
    if (!refuse_ || movesOrCopies(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        copy();
        event->accept();
        return;
    }
    // A refused change is swallowed; other keys go on to the window (shortcuts, Escape).
    if (triesToEdit(event))
        event->accept();
    else
        event->ignore();
}

void EditEngine::inputMethodEvent(QInputMethodEvent* event) {
    if (refuse_) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void EditEngine::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection on X11.
    if (refuse_ && event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void EditEngine::contextMenuEvent(QContextMenuEvent* event) {
    if (!refuse_) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The standard menu offers no editing command for a read-only line edit; build it in that
    // state and return to the refusing one, which keeps the caret.
    setReadOnly(true);
    QPointer<QMenu> menu = createStandardContextMenu();
    setReadOnly(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}
