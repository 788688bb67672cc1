#include "controls/CustomSpinEdit.h"

#include "controls/SpinButton.h"
#include "controls/SpinLineEdit.h"
#include "core/Cp932.h"
#include "core/Numbers.h"
#include "framework/ErrorReport.h"
#include "platform/Canvas.h"
#include "platform/Shell.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// One wheel notch.
constexpr int kWheelDelta = 120;
// Cell height of the screen's default font, the floor the minimum height is reckoned from.
constexpr int kScreenFontHeight = 16;
// SM_CYBORDER.
constexpr int kBorderPixel = 1;

constexpr QChar kBackspace(8);
constexpr QChar kEnter(13);
constexpr QChar kEscape(27);

// value + delta, held to the 32-bit range instead of wrapping round.
int stepped(int value, std::int64_t delta) {
    const std::int64_t sum = std::int64_t(value) + delta;
    return int(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}

// Length as the platform edit counts it: code-page-932 bytes.
int platformLength(const QString& text) {
    int bytes = 0;
    for (const char32_t c : text.toUcs4())
        bytes += core::cp932ByteLength(c);
    return bytes;
}

// The longest start of text that fits into `room` bytes.
QString fitted(const QString& text, int room) {
    QString result;
    int used = 0;
    for (const char32_t c : text.toUcs4()) {
        used += core::cp932ByteLength(c);
        if (used > room)
            break;
        result += QString::fromUcs4(&c, 1);
    }
    return result;
}

// The control character a key types, as the platform's character messages give it.
std::optional<QChar> controlCharacter(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Escape:
        return kEscape;
    default:
        return std::nullopt;
    }
}

// The printable characters a key types; none for Ctrl or Meta combinations (control codes,
// left to the edit) and for Delete.
QString printableCharacters(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return {};
    QString printable;
    for (const QChar c : event.text())
        if (c.unicode() >= 32 && c.unicode() != 127)
            printable += c;
    return printable;
}

Qt::Alignment qtAlignment(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    case taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

bool movesFocusWithinWindow(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

int fontCellHeight(const TFont& font) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas canvas(scratch);
    canvas.font().assign(font);
    return canvas.textMetrics().tmHeight;
}

} // namespace

TCustomSpinEdit::TCustomSpinEdit(QWidget* parent)
    : TWinControl(parent), container_(std::make_unique<TWinControl>(this)),
      button_(std::make_unique<TSpinButton>(container_.get())),
      editor_(std::make_unique<SpinLineEdit>(this)) {
    setColor(clWindow);
    setTabStop(true);
    // Keyboard focus by Tab only: a click on the button must not pull the focus here.
    setFocusPolicy(Qt::TabFocus);
    setFocusProxy(editor_.get());
    button_->setOnTopClick([this] { UpClick(); });
    button_->setOnBottomClick([this] { DownClick(); });
    editor_->setAlignment(qtAlignment(alignment_) | Qt::AlignTop);
    setText(QStringLiteral("0"));
    applyLook();
    setBounds(Left(), Top(), 121, 25);
    adjustSizeToFont();
    editor_->setHost(this);
}

TCustomSpinEdit::~TCustomSpinEdit() {
    editor_->setHost(nullptr);
}

QString TCustomSpinEdit::Text() const {
    return editor_->text();
}

void TCustomSpinEdit::setText(const QString& text) {
    if (text == editor_->text())
        return;
    editor_->setText(text);
    editor_->setCursorPosition(0);
    syncText();
}

std::optional<int> TCustomSpinEdit::parsedValue(const QString& text) const {
    return core::strToInt(text.toStdString());
}

int TCustomSpinEdit::Value() {
    if (suffix_.isEmpty()) {
        if (Text().isEmpty())
            setText(QString::number(minValue_));
        if (const std::optional<int> value = parsedValue(Text()))
            return *value;
        const int fallback = minValue_;
        setText(QString::number(minValue_));
        return fallback;
    }
    // The suffix itself never lends the number its signs or digits.
    QString body = Text();
    if (body.endsWith(suffix_))
        body.chop(suffix_.size());
    QString number;
    for (const QChar c : std::as_const(body))
        if (c == u'+' || c == u'-' || (c >= u'0' && c <= u'9'))
            number += c;
    if (number.isEmpty())
        number = QString::number(minValue_);
    if (const std::optional<int> value = parsedValue(number)) {
        setText(number + suffix_);
        return *value;
    }
    const int fallback = minValue_;
    setText(QString::number(minValue_) + suffix_);
    return fallback;
}

void TCustomSpinEdit::setValue(int value) {
    setText(QString::number(CheckValue(value)) + suffix_);
}

int TCustomSpinEdit::CheckValue(int value) const {
    if (minValue_ == maxValue_)
        return value;
    int result = value;
    if (value < minValue_)
        result = minValue_;
    if (value > maxValue_)
        result = maxValue_;
    return result;
}

void TCustomSpinEdit::setMinValue(int value) {
    if (value == minValue_)
        return;
    if (value >= maxValue_ && !isLoading())
        return;
    minValue_ = value;
    if (Value() < minValue_)
        setValue(minValue_);
}

void TCustomSpinEdit::setMaxValue(int value) {
    if (value == maxValue_)
        return;
    if (value <= minValue_ && !isLoading())
        return;
    maxValue_ = value;
    if (Value() > maxValue_)
        setValue(maxValue_);
}

ushort TCustomSpinEdit::Interval() const {
    return button_->Interval();
}

void TCustomSpinEdit::setInterval(ushort milliseconds) {
    button_->setInterval(milliseconds);
}

void TCustomSpinEdit::setSuffix(const QString& suffix) {
    if (suffix == suffix_)
        return;
    // Read with the suffix the text was written with: read with the new one, "5 px" would lose
    // its number to an empty suffix.
    const int value = Value();
    suffix_ = suffix;
    setValue(value);
}

void TCustomSpinEdit::setAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    editor_->setAlignment(qtAlignment(alignment) | Qt::AlignTop);
}

bool TCustomSpinEdit::ReadOnly() const {
    return editor_->isReadOnly();
}

void TCustomSpinEdit::setReadOnly(bool on) {
    editor_->setReadOnly(on);
}

void TCustomSpinEdit::setBorderStyle(TFormBorderStyle style) {
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    adjustSizeToFont();
    Invalidate();
}

void TCustomSpinEdit::setCtl3D(bool on) {
    if (on == ctl3D_)
        return;
    ctl3D_ = on;
    adjustSizeToFont();
    Invalidate();
}

void TCustomSpinEdit::Undo() {
    editor_->undo();
    syncText();
}

void TCustomSpinEdit::ClearUndo() {
    editor_->clearUndo();
}

bool TCustomSpinEdit::CanUndo() const {
    return editor_->isUndoAvailable();
}

void TCustomSpinEdit::SelectAll() {
    editor_->selectAll();
}

void TCustomSpinEdit::ClearSelection() {
    if (ReadOnly() || !editor_->hasSelectedText())
        return;
    editor_->del();
    syncText();
}

void TCustomSpinEdit::CutToClipboard() {
    if (!editingAllowed())
        return;
    editor_->cut();
    syncText();
}

void TCustomSpinEdit::CopyToClipboard() {
    editor_->copy();
}

void TCustomSpinEdit::PasteFromClipboard() {
    if (!editingAllowed())
        return;
    insertLimited(QGuiApplication::clipboard()->text());
    syncText();
}

void TCustomSpinEdit::UpClick() {
    if (ReadOnly()) {
        platform::beep();
        return;
    }
    setValue(stepped(Value(), lineSize_));
}

void TCustomSpinEdit::DownClick() {
    if (ReadOnly()) {
        platform::beep();
        return;
    }
    setValue(stepped(Value(), -std::int64_t(lineSize_)));
}

bool TCustomSpinEdit::IsValidChar(QChar key) const {
    const char16_t code = key.unicode();
    bool valid = code == u'+' || code == u'-' || (code >= u'0' && code <= u'9') || code < 32;
    if (!editorEnabled_ && (code >= 32 || code == kBackspace.unicode()))
        valid = false;
    return valid;
}

QLineEdit* TCustomSpinEdit::Editor() const {
    return editor_.get();
}

int TCustomSpinEdit::MinHeight() const {
    const int fontHeight = fontCellHeight(Font());
    const int smaller = std::min(kScreenFontHeight, fontHeight);
    const int border = borderStyle_ == bsNone ? 0 : 4 * kBorderPixel;
    return fontHeight + smaller / 4 + border;
}

bool TCustomSpinEdit::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName == QLatin1String("OnChange"))
        onChange_ = std::move(handler);
    else if (eventName == QLatin1String("OnEnter"))
        onEnter_ = std::move(handler);
    else if (eventName == QLatin1String("OnExit"))
        onExit_ = std::move(handler);
    else
        return TWinControl::bindEvent(eventName, std::move(handler));
    return true;
}

void TCustomSpinEdit::Loaded() {
    TWinControl::Loaded();
    // The platform window is made now, with the final font and bounds.
    adjustSizeToFont();
}

void TCustomSpinEdit::Paint(platform::Canvas& canvas) {
    if (borderStyle_ == bsNone)
        return;
    if (ctl3D_) {
        canvas.drawEdge(ClientRect(), platform::EDGE_SUNKEN, platform::BF_RECT);
        return;
    }
    canvas.brush().setColor(clWindowFrame);
    canvas.frameRect(ClientRect());
}

void TCustomSpinEdit::Change() {
    if (onChange_)
        onChange_();
}

void TCustomSpinEdit::KeyDown(int key, TShiftState) {
    switch (key) {
    case Qt::Key_PageUp:
        if (!ReadOnly())
            setValue(stepped(Value(), pageSize_));
        break;
    case Qt::Key_PageDown:
        if (!ReadOnly())
            setValue(stepped(Value(), -std::int64_t(pageSize_)));
        break;
    case Qt::Key_Up:
        UpClick();
        break;
    case Qt::Key_Down:
        DownClick();
        break;
    default:
        break;
    }
}

void TCustomSpinEdit::KeyPress(QChar& key) {
    if (onKeyPress_)
        onKeyPress_(key);
}

void TCustomSpinEdit::DoEnter() {
    if (onEnter_)
        onEnter_();
}

void TCustomSpinEdit::DoExit() {
    if (onExit_)
        onExit_();
}

void TCustomSpinEdit::EnabledChanged() {
    button_->setEnabled(Enabled());
    Invalidate();
}

void TCustomSpinEdit::FontChanged() {
    applyLook();
    Invalidate();
}

void TCustomSpinEdit::ColorChanged() {
    applyLook();
    Invalidate();
}

void TCustomSpinEdit::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    adjustSizeToFont();
}

void TCustomSpinEdit::wheelEvent(QWheelEvent* event) {
    event->accept();
    editorWheel(event->angleDelta().y());
}

void TCustomSpinEdit::editorWheel(int delta) {
    wheelDelta_ += delta;
    while (std::abs(wheelDelta_) >= kWheelDelta) {
        const bool away = wheelDelta_ > 0;
        wheelDelta_ -= away ? kWheelDelta : -kWheelDelta;
        if (away)
            UpClick();
        else
            DownClick();
    }
}

void TCustomSpinEdit::editorKeyPress(QKeyEvent* event) {
    KeyDown(event->key(), shiftStateOf(event->modifiers(), Qt::NoButton));
    // The key is passed on whatever KeyDown did.
    if (event->matches(QKeySequence::Cut)) {
        event->accept();
        CutToClipboard();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        PasteFromClipboard();
        return;
    }
    if (const std::optional<QChar> control = controlCharacter(*event)) {
        offerCharacter(event, *control);
        return;
    }
    const QString typed = printableCharacters(*event);
    if (typed.isEmpty()) {
        editor_->defaultKeyPress(event);
        return;
    }
    event->accept();
    insertLimited(editorFilterTyped(typed));
}

void TCustomSpinEdit::offerCharacter(QKeyEvent* event, QChar key) {
    event->accept();
    if (!IsValidChar(key)) {
        platform::beep();
        return;
    }
    KeyPress(key);
    if (key == kEnter) {
        // Offered to the window (default button); the edit never gets a line break.
        event->ignore();
        return;
    }
    if (key == kBackspace || key == kEscape) {
        editor_->defaultKeyPress(event);
        return;
    }
    if (key.unicode() >= 32)
        insertLimited(QString(key));
}

QString TCustomSpinEdit::editorFilterTyped(const QString& typed) {
    QString accepted;
    for (QChar key : typed) {
        if (!IsValidChar(key)) {
            platform::beep();
            continue;
        }
        KeyPress(key);
        if (key.unicode() >= 32)
            accepted += key;
    }
    return accepted;
}

QString TCustomSpinEdit::editorCommitted(const QString& typed) {
    return fittedToRoom(editorFilterTyped(typed));
}

void TCustomSpinEdit::editorFocusIn(Qt::FocusReason reason) {
    if (!movesFocusWithinWindow(reason))
        return;
    if (autoSelect_ && reason != Qt::MouseFocusReason)
        SelectAll();
    DoEnter();
}

void TCustomSpinEdit::editorFocusOut(Qt::FocusReason reason) {
    if (!movesFocusWithinWindow(reason))
        return;
    DoExit();
    if (CheckValue(Value()) != Value())
        setValue(Value());
}

void TCustomSpinEdit::editorMiddlePaste(const QString& text) {
    if (!editingAllowed())
        return;
    editor_->deselect();
    insertLimited(text);
    syncText();
}

void TCustomSpinEdit::syncText() {
    const QString shown = editor_->text();
    if (shown == reportedText_)
        return;
    reportedText_ = shown;
    if (!isLoading())
        runGuarded([this] { Change(); });
}

QString TCustomSpinEdit::fittedToRoom(const QString& text) const {
    if (maxLength_ == 0)
        return text;
    const int kept = platformLength(editor_->text()) - platformLength(editor_->selectedText());
    return fitted(text, maxLength_ - kept);
}

void TCustomSpinEdit::insertLimited(const QString& text) {
    if (ReadOnly())
        return;
    const QString fitting = fittedToRoom(text);
    if (!fitting.isEmpty())
        editor_->insert(fitting);
}

int TCustomSpinEdit::borderWidth() const {
    if (borderStyle_ == bsNone)
        return 0;
    return ctl3D_ ? 2 * kBorderPixel : kBorderPixel;
}

void TCustomSpinEdit::adjustSizeToFont() {
    if (isLoading())
        return;
    const int minimum = MinHeight();
    if (Height() < minimum) {
        setHeight(minimum); // the resize comes back here
        return;
    }
    arrangeParts();
}

void TCustomSpinEdit::arrangeParts() {
    const int border = borderWidth();
    const int clientWidth = std::max(0, Width() - 2 * border);
    const int clientHeight = std::max(0, Height() - 2 * border);
    const bool sunken = ctl3D_ && borderStyle_ != bsNone;
    const int side = std::max(0, sunken ? Height() - 4 * kBorderPixel : Height());
    container_->setBounds(border + Width() - Height(), border, side, side);
    button_->setBounds(0, 0, side, side);
    // The text rectangle ends two pixels short of the button; the window clips its extra row.
    const int textWidth = std::max(0, clientWidth - button_->Width() - 2);
    editor_->setGeometry(border, border, textWidth, clientHeight);
}

void TCustomSpinEdit::applyLook() {
    const QColor background = platform::toQColor(Color());
    const QColor text = platform::toQColor(Font().color());
    QPalette palette = editor_->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Highlight, platform::toQColor(clHighlight));
        palette.setColor(group, QPalette::HighlightedText, platform::toQColor(clHighlightText));
    }
    palette.setColor(QPalette::Disabled, QPalette::Text, platform::toQColor(clGrayText));
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Window, background);
    }
    editor_->setPalette(palette);
    editor_->setFont(Font().toQFont());
}
