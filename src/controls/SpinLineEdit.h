#pragma once

#include <QLineEdit>

class TCustomSpinEdit;

// The platform edit window under a spin edit: a QLineEdit whose key presses, committed input,
// middle-button pastes, context-menu cut and paste, and focus changes go to the spin edit first,
// and after each event of which the spin edit checks the text for a change. Text cannot be
// dropped into it. Not for use on its own.
class SpinLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit SpinLineEdit(QWidget* parent);

    // Hands events to the spin edit from now on; nullptr makes this a plain line edit again
    // (while the spin edit is being made or taken down).
    void setHost(TCustomSpinEdit* host) { host_ = host; }
    // The line edit's own handling of a key.
    void defaultKeyPress(QKeyEvent* event) { QLineEdit::keyPressEvent(event); }
    // Empties the undo history; text, caret and selection stay.
    void clearUndo();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TCustomSpinEdit* host_ = nullptr;
};
