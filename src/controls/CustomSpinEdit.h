#pragma once

#include "framework/WinControl.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QKeyEvent;
class QLineEdit;
class SpinLineEdit;
class TSpinButton;

// Runs for each character typed into an edit, before the edit sees it; setting the key to the
// null character drops it.
using TKeyPressEvent = std::function<void(QChar& key)>;

// A whole-number edit with a square spin button at its right end. The text is the value's only
// store: Value parses it (repairing text that is no number), writing Value clamps into
// MinValue..MaxValue (unless the two are equal) and writes the text. The range is not enforced
// while the user types, only on writes and when the focus leaves the edit.
//
// OnChange runs once after every real change of the text (typing, cut, paste, undo, or the
// control itself: writes, repairs made by a read of Value, the clamp on leaving), synchronously
// inside the operation, and not while the control is loaded from a form. An exception escaping
// OnChange goes to the standard error report there and then, as a change notification's would;
// the operation that changed the text carries on and never sees it.
//
// Up/Down and the wheel step by LineSize, Page Up/Page Down by PageSize. Only digits, "+", "-"
// and control characters can be typed; anything else beeps. The platform edit under it is a
// QLineEdit (caret, selection, undo, clipboard, input methods), laid out as the platform's
// multi-line edit: text rectangle left of the button, button square at the right end of the
// client area.
class TCustomSpinEdit : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int LineSize READ LineSize WRITE setLineSize)
    Q_PROPERTY(int PageSize READ PageSize WRITE setPageSize)
    Q_PROPERTY(ushort Interval READ Interval WRITE setInterval)
    Q_PROPERTY(QString Suffix READ Suffix WRITE setSuffix)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE setEditorEnabled)
    Q_PROPERTY(framework::TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(framework::TFormBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE setCtl3D)

public:
    explicit TCustomSpinEdit(QWidget* parent = nullptr);
    ~TCustomSpinEdit() override;

    QString Text() const;
    // A different text replaces the old one: caret to the start, undo emptied, OnChange.
    void setText(const QString& text);

    // The number the text holds, unclamped. Empty text is first rewritten to MinValue; text
    // that is no number reads as MinValue and is rewritten to it. With a Suffix the digits and
    // signs are picked out of the text before the suffix, and the text is rewritten to them
    // plus the suffix.
    int Value();
    // Writes CheckValue(value) followed by Suffix; nothing happens when that is the text shown.
    void setValue(int value);
    // value clamped into MinValue..MaxValue; unchanged when the two are equal.
    int CheckValue(int value) const;

    // A new MaxValue is taken only above MinValue, a new MinValue only below MaxValue (either
    // way while loading); a value beyond the new bound is then brought to it.
    int MinValue() const { return minValue_; }
    void setMinValue(int value);
    int MaxValue() const { return maxValue_; }
    void setMaxValue(int value);
    int LineSize() const { return lineSize_; }
    void setLineSize(int step) { lineSize_ = step; }
    int PageSize() const { return pageSize_; }
    void setPageSize(int step) { pageSize_ = step; }
    ushort Interval() const;
    void setInterval(ushort milliseconds);
    const QString& Suffix() const { return suffix_; }
    void setSuffix(const QString& suffix);
    // False: the number changes only by the button, keys and wheel, never typed, cut or pasted.
    bool EditorEnabled() const { return editorEnabled_; }
    void setEditorEnabled(bool enabled) { editorEnabled_ = enabled; }
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    // Selects the whole text when the focus arrives other than by a click into it.
    bool AutoSelect() const { return autoSelect_; }
    void setAutoSelect(bool on) { autoSelect_ = on; }
    // Kept for forms; the height follows the font's minimum whatever it says.
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on) { autoSize_ = on; }
    bool ReadOnly() const;
    void setReadOnly(bool on);
    // Limit of what the user can type or paste, in code-page-932 bytes; 0 is none. Text the
    // program writes is never cut.
    int MaxLength() const { return maxLength_; }
    void setMaxLength(int length) { maxLength_ = std::max(0, length); }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TFormBorderStyle style);
    bool Ctl3D() const { return ctl3D_; }
    void setCtl3D(bool on);

    // The platform edit's undo of the last edit, and emptying its undo buffer.
    void Undo();
    void ClearUndo();
    bool CanUndo() const;
    void SelectAll();
    // Deletes the selected text.
    void ClearSelection();
    // Cut and paste do nothing unless EditorEnabled and not ReadOnly.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();

    // The steps of the button, the arrow keys and the wheel: Value +/- LineSize, or a beep when
    // ReadOnly.
    virtual void UpClick();
    virtual void DownClick();
    // Digits, "+", "-" and control characters; with EditorEnabled off, control characters other
    // than Backspace only.
    virtual bool IsValidChar(QChar key) const;

    TSpinButton* Button() const { return button_.get(); }
    QLineEdit* Editor() const;
    // The smallest height the font allows.
    int MinHeight() const;

    const TNotifyEvent& OnChange() const { return onChange_; }
    void setOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }
    const TNotifyEvent& OnEnter() const { return onEnter_; }
    void setOnEnter(TNotifyEvent handler) { onEnter_ = std::move(handler); }
    const TNotifyEvent& OnExit() const { return onExit_; }
    void setOnExit(TNotifyEvent handler) { onExit_ = std::move(handler); }
    const TKeyPressEvent& OnKeyPress() const { return onKeyPress_; }
    void setOnKeyPress(TKeyPressEvent handler) { onKeyPress_ = std::move(handler); }
    // OnChange, OnEnter, OnExit and the control events.
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;

    void Loaded() override;
    void Paint(platform::Canvas& canvas) override;

protected:
    // Runs OnChange.
    virtual void Change();
    virtual void KeyDown(int key, TShiftState shift);
    // Runs OnKeyPress.
    virtual void KeyPress(QChar& key);
    virtual void DoEnter();
    virtual void DoExit();

    void EnabledChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class SpinLineEdit;

    // What the platform edit hands over.
    void editorKeyPress(QKeyEvent* event);
    QString editorFilterTyped(const QString& typed);
    QString editorCommitted(const QString& typed);
    void editorFocusIn(Qt::FocusReason reason);
    void editorFocusOut(Qt::FocusReason reason);
    void editorMiddlePaste(const QString& text);
    void editorWheel(int delta);
    // Fires OnChange when the edit's text differs from the one last reported.
    void syncText();
    bool editingAllowed() const { return editorEnabled_ && !ReadOnly(); }
    // The start of text that fits beside the kept text under MaxLength.
    QString fittedToRoom(const QString& text) const;
    void insertLimited(const QString& text);
    void offerCharacter(QKeyEvent* event, QChar key);

    std::optional<int> parsedValue(const QString& text) const;
    int borderWidth() const;
    void adjustSizeToFont();
    void arrangeParts();
    void applyLook();

    int minValue_ = 0;
    int maxValue_ = 100;
    int lineSize_ = 1;
    int pageSize_ = 10;
    QString suffix_;
    bool editorEnabled_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    int maxLength_ = 0;
    TFormBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    int wheelDelta_ = 0;
    QString reportedText_;

    // Children; destroyed editor first, then the button, then its container.
    std::unique_ptr<TWinControl> container_;
    std::unique_ptr<TSpinButton> button_;
    std::unique_ptr<SpinLineEdit> editor_;

    TNotifyEvent onChange_;
    TNotifyEvent onEnter_;
    TNotifyEvent onExit_;
    TKeyPressEvent onKeyPress_;
};
