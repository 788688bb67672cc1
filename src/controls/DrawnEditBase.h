#pragma once

#include "controls/EditBevel.h"
#include "controls/EditCaret.h"
#include "controls/EditLayout.h"
#include "framework/CustomControl.h"

class EditEngine;
class QLineEdit;

// A single-line edit that keeps its text as one string and draws its own border. The editing
// itself (caret, selection, clipboard, undo, input methods) is done by a frameless line edit
// placed over the text rectangle and painted in the edit's colour and font.
//
// Text: writing a different text (cut to MaxLength when that is above 0) stores it, shows it
// with the caret before the first character and no selection, and calls OnChange at once,
// except while the control is loading from a form or inside BeginUpdate/EndUpdate. Writing the
// text it already holds does nothing. A user's edit that changes the text calls OnChange once.
// OnChange may write Text again; that nested write runs its own OnChange.
//
// ReadOnly refuses every change the user tries (typing, deleting, pasting, undo; cut only
// copies) and leaves caret movement, selection and copying alone; the program still writes Text.
//
// While the edit has the focus, the caret blinks at Caret.BlinkRate; the application's blink
// time in force when the edit was created comes back when the focus leaves.
class TDrawnEditBase : public TCustomControl {
    Q_OBJECT

public:
    explicit TDrawnEditBase(QWidget* parent = nullptr);
    ~TDrawnEditBase() override;

    const QString& Text() const { return text_; }
    void setText(const QString& text);
    // 0: no limit. Limits what the user can type and cuts what the program writes; a longer
    // text already there stays.
    int MaxLength() const { return maxLength_; }
    void setMaxLength(int length);
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

    TEditBevel& Bevel() { return bevel_; }
    const TEditBevel& Bevel() const { return bevel_; }
    TEditCaret& Caret() { return caret_; }
    const TEditCaret& Caret() const { return caret_; }

    const TNotifyEvent& OnChange() const { return onChange_; }
    void setOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

    // Text changes inside the bracket call no OnChange.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    int SelStart() const;
    int SelLength() const;
    void SelectAll();

    // Where the border, text and buttons lie for the current size and bevel.
    EditLayout layout() const;
    // The editing engine (for focus handling and tests).
    QLineEdit* editor() const;

    void Paint(platform::Canvas& canvas) override;

protected:
    virtual int buttonCount() const { return 0; }
    virtual int buttonWidth() const { return 0; }
    // Puts the editing engine (and, in derived classes, the buttons) where the layout says.
    virtual void arrangeParts();
    // Runs OnChange.
    virtual void Change();

    void Resize() override;
    void FontChanged() override;
    void ColorChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool notifies() const { return !isLoading() && updateCount_ == 0; }
    void editorTextChanged(const QString& text);
    void showText();
    void updateEditorLimit();
    void updateEditorLook();
    void applyBlinkRate();
    void restoreBlinkRate();

    QString text_;
    int maxLength_ = 0;
    bool readOnly_ = false;
    int updateCount_ = 0;
    bool showing_ = false;
    const int creationFlashTime_;
    bool blinkApplied_ = false;
    TEditBevel bevel_;
    TEditCaret caret_;
    EditEngine* editor_; // a child widget, owned by this control
    TNotifyEvent onChange_;
};
