#pragma once

#include "controls/DrawnEditBase.h"

#include <QImage>
#include <vector>

class TEditButton;

// The drawn edit as forms use it: Text, MaxLength and ReadOnly published, Bevel.Mode and
// Caret.BlinkRate / ImageIndex / ListIndex settable from a form, OnChange bindable, and a row
// of embedded buttons at its right end (ButtonWidth pixels each, 16 unless set otherwise).
class TDrawnEdit : public TDrawnEditBase {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)

public:
    explicit TDrawnEdit(QWidget* parent = nullptr);

    // Adds a button after the last one; its click runs ButtonClick with its index.
    TEditButton* AddButton(const QImage& glyph);
    int ButtonCount() const { return int(buttons_.size()); }
    TEditButton* Button(int index) const { return buttons_.at(std::size_t(index)); }
    int ButtonWidth() const { return buttonWidth_; }
    void setButtonWidth(int width);

    // Bevel.Mode, Caret.BlinkRate, Caret.ImageIndex, Caret.ListIndex and the font.
    bool applyProperty(const QString& path, const QVariant& value) override;
    // OnChange and the control events.
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;

protected:
    // A click on embedded button `index`. Does nothing here.
    virtual void ButtonClick(int index);

    int buttonCount() const override { return ButtonCount(); }
    int buttonWidth() const override { return buttonWidth_; }
    void arrangeParts() override;

private:
    std::vector<TEditButton*> buttons_; // child controls, owned by this control
    int buttonWidth_ = 16;
};
