#include "controls/DrawnEditBase.h"

#include "controls/EditEngine.h"
#include "framework/ErrorReport.h"
#include "platform/Canvas.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QStyleHints>
#include <algorithm>
#include <limits>

namespace {

// Qt's flash time is a whole on-and-off cycle; the blink rate is one half of it.
int flashTimeOf(int blinkRate) {
    return std::max(0, blinkRate) * 2;
}

int currentFlashTime() {
    return QGuiApplication::styleHints()->cursorFlashTime();
}

QString cutTo(const QString& text, int maxLength) {
    if (maxLength <= 0 || text.size() <= maxLength)
        return text;
    qsizetype keep = maxLength;
    if (text[keep - 1].isHighSurrogate()) // never half a character
        --keep;
    return text.left(keep);
}

} // namespace

TDrawnEditBase::TDrawnEditBase(QWidget* parent)
    : TCustomControl(parent), creationFlashTime_(currentFlashTime()),
      caret_(currentFlashTime() / 2), editor_(new EditEngine(this)) {
    bevel_.onChange = [this] {
        arrangeParts();
        Invalidate();
    };
    caret_.onChange = [this] {
        if (blinkApplied_)
            applyBlinkRate();
    };
    setTabStop(true);
    setFocusProxy(editor_);
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::textChanged, this, &TDrawnEditBase::editorTextChanged);
    updateEditorLimit();
    updateEditorLook();
    arrangeParts();
}

TDrawnEditBase::~TDrawnEditBase() {
    editor_->removeEventFilter(this);
    disconnect(editor_, nullptr, this, nullptr);
    restoreBlinkRate();
    bevel_.onChange = nullptr;
    caret_.onChange = nullptr;
}

void TDrawnEditBase::setText(const QString& text) {
    const QString value = cutTo(text, maxLength_);
    if (value == text_)
        return;
    text_ = value;
    showText();
    Invalidate();
    if (notifies())
        Change();
}

void TDrawnEditBase::setMaxLength(int length) {
    if (length == maxLength_)
        return;
    maxLength_ = length;
    updateEditorLimit();
}

void TDrawnEditBase::setReadOnly(bool readOnly) {
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    editor_->setRefusesEdits(readOnly);
}

void TDrawnEditBase::EndUpdate() {
    if (updateCount_ > 0)
        --updateCount_;
}

int TDrawnEditBase::SelStart() const {
    return editor_->hasSelectedText() ? editor_->selectionStart() : editor_->cursorPosition();
}

int TDrawnEditBase::SelLength() const {
    return editor_->hasSelectedText() ? editor_->selectionLength() : 0;
}

void TDrawnEditBase::SelectAll() {
    editor_->selectAll();
}

EditLayout TDrawnEditBase::layout() const {
    return editLayout(size(), bevel_.Mode(), buttonCount(), buttonWidth());
}

QLineEdit* TDrawnEditBase::editor() const {
    return editor_;
}

void TDrawnEditBase::Paint(platform::Canvas& canvas) {
    const EditLayout parts = layout();
    switch (bevel_.Mode()) {
    case bmWindows:
        canvas.drawEdge(ClientRect(), platform::EDGE_SUNKEN, platform::BF_RECT);
        break;
    case bmFlat:
        canvas.brush().setColor(clBtnShadow);
        canvas.frameRect(parts.toWindow(QRect(QPoint(0, 0), parts.client.size())));
        break;
    case bmNone:
        break;
    }
}

void TDrawnEditBase::arrangeParts() {
    const EditLayout parts = layout();
    editor_->setGeometry(parts.toWindow(parts.text));
}

void TDrawnEditBase::Change() {
    if (onChange_)
        onChange_();
}

void TDrawnEditBase::Resize() {
    arrangeParts();
    TCustomControl::Resize();
}

void TDrawnEditBase::FontChanged() {
    updateEditorLook();
    TCustomControl::FontChanged();
}

void TDrawnEditBase::ColorChanged() {
    updateEditorLook();
    TCustomControl::ColorChanged();
}

bool TDrawnEditBase::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::FocusIn)
            applyBlinkRate();
        else if (event->type() == QEvent::FocusOut)
            restoreBlinkRate();
    }
    return TCustomControl::eventFilter(watched, event);
}

void TDrawnEditBase::editorTextChanged(const QString& text) {
    if (showing_)
        return;
    if (readOnly_) {
        // Nothing the user does may change a read-only text; put it back if a change slipped by.
        if (text != text_)
            showText();
        return;
    }
    if (text == text_)
        return;
    text_ = text;
    // Inside the engine's own event: a handler's error is reported here, not thrown through Qt.
    if (notifies())
        runGuarded([this] { Change(); });
}

void TDrawnEditBase::showText() {
    const QScopedValueRollback guard(showing_, true);
    updateEditorLimit();
    editor_->setText(text_);
    editor_->setCursorPosition(0);
    editor_->deselect();
}

void TDrawnEditBase::updateEditorLimit() {
    // The engine would cut a longer text at once; the user just cannot make it longer.
    const int limit =
        maxLength_ > 0 ? std::max(maxLength_, int(text_.size())) : std::numeric_limits<int>::max();
    const QScopedValueRollback guard(showing_, true);
    editor_->setMaxLength(limit);
}

void TDrawnEditBase::updateEditorLook() {
    editor_->setFont(Font().toQFont());
    QPalette palette = editor_->palette();
    const QColor base = platform::toQColor(Color());
    const QColor text = platform::toQColor(Font().color());
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Window, base);
        palette.setColor(group, QPalette::Text,
                         group == QPalette::Disabled ? platform::toQColor(clGrayText) : text);
        palette.setColor(group, QPalette::Highlight, platform::toQColor(clHighlight));
        palette.setColor(group, QPalette::HighlightedText, platform::toQColor(clHighlightText));
    }
    editor_->setPalette(palette);
}

void TDrawnEditBase::applyBlinkRate() {
    blinkApplied_ = true;
    QGuiApplication::styleHints()->setCursorFlashTime(flashTimeOf(caret_.BlinkRate()));
}

void TDrawnEditBase::restoreBlinkRate() {
    if (!blinkApplied_)
        return;
    blinkApplied_ = false;
    QGuiApplication::styleHints()->setCursorFlashTime(creationFlashTime_);
}
