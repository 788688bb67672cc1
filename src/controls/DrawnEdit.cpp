#include "controls/DrawnEdit.h"

#include "controls/EditButton.h"
#include "framework/SubObjectProperties.h"

TDrawnEdit::TDrawnEdit(QWidget* parent) : TDrawnEditBase(parent) {}

TEditButton* TDrawnEdit::AddButton(const QImage& glyph) {
    auto* button = new TEditButton(this); // owned by this control
    button->setGlyph(glyph);
    const int index = ButtonCount();
    button->setOnClick([this, index] { ButtonClick(index); });
    buttons_.push_back(button);
    arrangeParts();
    return button;
}

void TDrawnEdit::setButtonWidth(int width) {
    if (width == buttonWidth_)
        return;
    buttonWidth_ = width;
    arrangeParts();
    Invalidate();
}

bool TDrawnEdit::applyProperty(const QString& path, const QVariant& value) {
    if (path == QLatin1String("Bevel.Mode"))
        Bevel().setMode(framework::enumValue<TEditBevelMode>(value));
    else if (path == QLatin1String("Caret.BlinkRate"))
        Caret().setBlinkRate(framework::intValue(value));
    else if (path == QLatin1String("Caret.ImageIndex"))
        Caret().setImageIndex(framework::intValue(value));
    else if (path == QLatin1String("Caret.ListIndex"))
        Caret().setListIndex(framework::intValue(value));
    else
        return TDrawnEditBase::applyProperty(path, value);
    return true;
}

bool TDrawnEdit::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName == QLatin1String("OnChange")) {
        setOnChange(std::move(handler));
        return true;
    }
    return TDrawnEditBase::bindEvent(eventName, std::move(handler));
}

void TDrawnEdit::ButtonClick(int) {}

void TDrawnEdit::arrangeParts() {
    TDrawnEditBase::arrangeParts();
    const EditLayout parts = layout();
    for (std::size_t i = 0; i < buttons_.size() && i < parts.buttons.size(); ++i) {
        const QRect bounds = parts.toWindow(parts.buttons[i]);
        buttons_[i]->setBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    }
}
