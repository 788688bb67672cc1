#pragma once

#include <QLineEdit>

// The editing engine under a drawn edit: a frameless line edit that gives the caret, selection,
// clipboard, undo and input methods. It can refuse every change the user tries while the caret
// stays visible and movement, selection and copying work (Qt's own read-only mode hides the
// caret and lets cut do nothing; here cut copies).
class EditEngine : public QLineEdit {
    Q_OBJECT

public:
    explicit EditEngine(QWidget* parent);

    bool refusesEdits() const { return refuse_; }
    void setRefusesEdits(bool refuse);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool refuse_ = false;
};
