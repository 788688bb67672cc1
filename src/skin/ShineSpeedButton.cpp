#include "skin/ShineSpeedButton.h"

#include "framework/SubObjectProperties.h"
#include "framework/Timer.h"
#include "platform/Canvas.h"
#include "skin/ShineStateGlyph.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>

using namespace platform;

namespace {

constexpr int kActiveTimerInterval = 200;
constexpr unsigned kCaptionFormat = DT_CENTER | DT_VCENTER;

// A 256-step ramp from the set's colour to its gradient colour, one pixel wide or high.
QImage faceRamp(const TShineBtnColors& colors) {
    const bool vertical = colors.GradVertical();
    QImage ramp(vertical ? 1 : 256, vertical ? 256 : 1, QImage::Format_RGB32);
    const std::uint32_t from = swapRedBlue(colorToRgb(colors.Color()));
    const std::uint32_t to = swapRedBlue(colorToRgb(colors.GradColor()));
    for (int i = 0; i < 256; ++i) {
        std::uint32_t pixel = 0;
        for (int shift : {0, 8, 16}) {
            const int c = int((from >> shift) & 0xFF);
            const int g = int((to >> shift) & 0xFF);
            pixel |= std::uint32_t(c + (g - c) * i / 255) << shift;
        }
        ramp.setPixel(vertical ? 0 : i, vertical ? i : 0, 0xFF000000u | pixel);
    }
    return ramp;
}

} // namespace

TShineSpeedButton::TShineSpeedButton(QWidget* parent)
    : TGraphicControl(parent), colors_(new TShineBtnColors(this)),
      pressedColors_(new TShineBtnColors(this)), activeTimer_(new TTimer(this)) {
    setClickOnMouseUp(false); // clicks come from this button's own mouse handling
    resize(25, 25);
    setParentFont(false);
    Font().assign(TFont());
    Font().setColor(clBtnText);
    activeFont_.setColor(clHighlight);
    pressedColors_->setColor(clBtnHighlight);
    colors_->setOnChange([this] { Invalidate(); });
    pressedColors_->setOnChange([this] { Invalidate(); });
    activeFont_.onChange = [this] { Invalidate(); };
    activeTimer_->setEnabled(false);
    activeTimer_->setInterval(kActiveTimerInterval);
    activeTimer_->setOnTimer([this] { ActiveButtonTimerOnTimer(); });
}

TShineSpeedButton::~TShineSpeedButton() {
    activeTimer_->setEnabled(false);
    activeFont_.onChange = nullptr;
    colors_->setOnChange(nullptr);
    pressedColors_->setOnChange(nullptr);
}

template <class T> void TShineSpeedButton::store(T& field, T value) {
    if (field == value)
        return;
    field = value;
    Invalidate();
}

void TShineSpeedButton::setClickDownHook(bool on) {
    store(clickDownHook_, on);
}

void TShineSpeedButton::setAccelCharDown(bool on) {
    store(accelCharDown_, on);
}

void TShineSpeedButton::setFrameType(TFrameType type) {
    store(frameType_, type);
}

void TShineSpeedButton::setTransparent(bool on) {
    store(transparent_, on);
}

void TShineSpeedButton::setActiveFrame(bool on) {
    store(activeFrame_, on);
}

void TShineSpeedButton::setUpFrame(bool on) {
    store(upFrame_, on);
}

void TShineSpeedButton::setDownFrame(bool on) {
    store(downFrame_, on);
}

void TShineSpeedButton::setActiveImage(TActiveImageType type) {
    store(activeImage_, type);
}

void TShineSpeedButton::setDisabledImage(TDisabledImageType type) {
    store(disabledImage_, type);
}

void TShineSpeedButton::setDisabledHighlight(TColor color) {
    store(disabledHighlight_, color);
}

void TShineSpeedButton::setDisabledShadow(TColor color) {
    store(disabledShadow_, color);
}

void TShineSpeedButton::setShineColor(TColor color) {
    store(shineColor_, color);
}

void TShineSpeedButton::setLayout(TButtonLayout layout) {
    store(layout_, layout);
}

void TShineSpeedButton::setMargin(int margin) {
    store(margin_, margin);
}

void TShineSpeedButton::setSpacing(int spacing) {
    store(spacing_, spacing);
}

void TShineSpeedButton::setColors(const TShineBtnColors* colors) {
    if (colors != nullptr)
        colors_->assign(*colors);
}

void TShineSpeedButton::setPressedColors(const TShineBtnColors* colors) {
    if (colors != nullptr)
        pressedColors_->assign(*colors);
}

void TShineSpeedButton::setFontHighlight(TColor color) {
    fontHighlight_ = color;
    Invalidate();
}

void TShineSpeedButton::setFontShadow(TColor color) {
    fontShadow_ = color;
    Invalidate();
}

void TShineSpeedButton::setActiveFont(const TFont& font) {
    activeFont_.assign(font);
    Invalidate();
}

void TShineSpeedButton::setGlyph(const QImage& glyph) {
    glyph_ = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_RGB32);
    Invalidate();
}

bool TShineSpeedButton::applyProperty(const QString& path, const QVariant& value) {
    if (path.startsWith(QLatin1String("ActiveFont.")))
        return framework::applyFontProperty(activeFont_, QStringView(path).mid(11), value);
    return TGraphicControl::applyProperty(path, value);
}

// ---- group ---------------------------------------------------------------------------------

void TShineSpeedButton::setGroupIndex(int index) {
    if (index == groupIndex_)
        return;
    groupUpdateStatus(index);
}

void TShineSpeedButton::setAllowAllUp(bool allow) {
    if (allow == allowAllUp_)
        return;
    allowAllUp_ = allow;
    groupUpdateStatus(groupIndex_);
}

void TShineSpeedButton::setDown(bool down) {
    if (down == down_ || groupIndex_ == 0)
        return;
    // A down button of an exclusive group is released only by another one going down.
    if (!allowAllUp_ && down_)
        return;
    down_ = down;
    groupUpdateStatus(groupIndex_);
    state_ = down_ ? stDown : stUp;
    Repaint();
}

void TShineSpeedButton::groupUpdateStatus(int groupIndex) {
    groupIndex_ = groupIndex;
    if (groupIndex == 0 || parentWidget() == nullptr)
        return;
    for (QObject* sibling : parentWidget()->children())
        if (auto* button = qobject_cast<TShineSpeedButton*>(sibling); button && button != this)
            button->ButtonPressed(groupIndex, down_, allowAllUp_);
}

void TShineSpeedButton::ButtonPressed(int groupIndex, bool senderDown, bool senderAllowAllUp) {
    if (groupIndex != groupIndex_)
        return;
    if (senderDown && down_) {
        down_ = false;
        state_ = stUp;
        Invalidate();
    }
    allowAllUp_ = senderAllowAllUp;
}

// ---- mouse ---------------------------------------------------------------------------------

QPoint TShineSpeedButton::cursorPosition() const {
    return mapFromGlobal(QCursor::pos());
}

bool TShineSpeedButton::cursorInside() const {
    return isVisible() && ClientRect().contains(cursorPosition());
}

void TShineSpeedButton::updateTracking(bool overButton) {
    if (!Enabled())
        return;
    // Pretend the opposite, so the notification that follows settles flag and state.
    mouseInside_ = !overButton;
    const QPoint p = cursorPosition();
    if (mouseInside_)
        MouseLeave(currentShiftState(), p.x(), p.y());
    else
        MouseEnter(currentShiftState(), p.x(), p.y());
}

void TShineSpeedButton::MouseEnter() {
    const QPoint p = cursorPosition();
    MouseEnter(currentShiftState(), p.x(), p.y());
}

void TShineSpeedButton::MouseLeave() {
    const QPoint p = cursorPosition();
    MouseLeave(currentShiftState(), p.x(), p.y());
}

void TShineSpeedButton::MouseEnter(TShiftState, int, int) {
    TGraphicControl::MouseEnter();
    if (mouseInside_ || !Enabled() || QWidget::mouseGrabber() != nullptr)
        return;
    mouseInside_ = true;
    if (state_ == stUp)
        state_ = stActiveUp;
    else if (state_ == stDown)
        state_ = stActiveDown;
    Repaint();
    activeTimer_->setEnabled(true);
}

void TShineSpeedButton::MouseLeave(TShiftState, int, int) {
    TGraphicControl::MouseLeave();
    if (!mouseInside_ || !Enabled() || tracking_)
        return;
    activeTimer_->setEnabled(false);
    mouseInside_ = false;
    if (state_ == stActiveUp)
        state_ = stUp;
    else if (state_ == stActiveDown)
        state_ = stDown;
    Repaint();
}

void TShineSpeedButton::ActiveButtonTimerOnTimer() {
    if (!mouseInside_ || !Enabled() || tracking_) {
        activeTimer_->setEnabled(false);
        return;
    }
    if (cursorInside())
        return;
    const QPoint p = cursorPosition();
    MouseLeave(currentShiftState(), p.x(), p.y());
}

void TShineSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled())
        return;
    state_ = stActiveDown;
    if (!down_)
        Invalidate();
    tracking_ = true;
}

void TShineSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!tracking_) {
        if (!mouseInside_)
            updateTracking(ClientRect().contains(x, y));
        return;
    }
    const TShineButtonState next = ClientRect().contains(x, y) ? stActiveDown
                                   : down_                     ? stDown
                                                               : stUp;
    if (next != state_) {
        state_ = next;
        Invalidate();
    }
}

void TShineSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!tracking_)
        return;
    const bool inside = ClientRect().contains(x, y);
    if (groupIndex_ == 0) {
        state_ = stUp;
        mouseInside_ = false;
        down_ = false;
        if (inside)
            Repaint();
    } else if (inside) {
        setDown(!down_);
        if (down_)
            Repaint();
    } else {
        state_ = down_ ? stActiveDown : stActiveUp;
        Repaint();
    }
    tracking_ = false;
    QPointer<TShineSpeedButton> self(this);
    if (inside)
        Click();
    if (self)
        updateTracking(ClientRect().contains(x, y));
}

void TShineSpeedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    TGraphicControl::mouseDoubleClickEvent(event);
    if (down_)
        DblClick();
}

void TShineSpeedButton::Click() {
    const TShineButtonState remembered = state_;
    QPointer<TShineSpeedButton> self(this);
    if (clickDownHook_) {
        // Shown pressed while a long handler blocks the event loop.
        state_ = stActiveDown;
        Repaint();
    }
    TGraphicControl::Click();
    if (!self || !clickDownHook_)
        return;
    state_ = remembered;
    Repaint();
}

void TShineSpeedButton::EnabledChanged() {
    down_ = false;
    state_ = Enabled() ? stUp : stDisabled;
    updateTracking(cursorInside());
    Invalidate();
}

// ---- painting ------------------------------------------------------------------------------

void TShineSpeedButton::Paint(Canvas& canvas) {
    if (!Enabled()) {
        state_ = stDisabled;
        tracking_ = false;
    }
    paintFace(canvas);
    paintGlyphAndCaption(canvas);
    paintFrame(canvas);
}

void TShineSpeedButton::paintFace(Canvas& canvas) const {
    if (transparent_)
        return;
    const TShineBtnColors& colors = pressedLook() ? *pressedColors_ : *colors_;
    if (!colors.Gradation()) {
        canvas.brush().setStyle(bsSolid);
        canvas.brush().setColor(colors.Color());
        canvas.fillRect(ClientRect());
        return;
    }
    // Rows or columns of the ramp are dropped or repeated, never blended.
    const QImage ramp = faceRamp(colors);
    canvas.setStretchBltMode(StretchMode::ColorOnColor);
    canvas.stretchBlt(0, 0, Width(), Height(), ramp, 0, 0, ramp.width(), ramp.height(), SRCCOPY);
}

TShineSpeedButton::Placement TShineSpeedButton::placeGlyphAndCaption(QSize client, QSize glyph,
                                                                     QSize caption,
                                                                     TButtonLayout layout,
                                                                     int margin, int spacing) {
    const bool hasGlyph = !glyph.isEmpty();
    const bool hasCaption = !caption.isEmpty();
    const int gap = hasGlyph && hasCaption ? spacing : 0;
    QPoint glyphAt;
    QPoint captionAt;
    int w = 0;
    int h = 0;
    const auto along = [&](QSize part, QPoint& at) {
        at.setX(w);
        w += part.width();
        h = std::max(h, part.height());
    };
    const auto across = [&](QSize part, QPoint& at) {
        at.setY(h);
        h += part.height();
        w = std::max(w, part.width());
    };
    const QSize g = hasGlyph ? glyph : QSize(0, 0);
    const QSize c = hasCaption ? caption : QSize(0, 0);
    switch (layout) {
    case blGlyphLeft:
    case blGlyphRight: {
        const bool glyphFirst = layout == blGlyphLeft;
        along(glyphFirst ? g : c, glyphFirst ? glyphAt : captionAt);
        w += gap;
        along(glyphFirst ? c : g, glyphFirst ? captionAt : glyphAt);
        glyphAt.setY((h - g.height()) / 2);
        captionAt.setY((h - c.height()) / 2);
        break;
    }
    case blGlyphTop:
    case blGlyphBottom: {
        const bool glyphFirst = layout == blGlyphTop;
        across(glyphFirst ? g : c, glyphFirst ? glyphAt : captionAt);
        h += gap;
        across(glyphFirst ? c : g, glyphFirst ? captionAt : glyphAt);
        glyphAt.setX((w - g.width()) / 2);
        captionAt.setX((w - c.width()) / 2);
        break;
    }
    }
    const int cw = client.width();
    const int ch = client.height();
    QPoint offset((cw - w) / 2, (ch - h) / 2);
    if (margin >= 0) {
        switch (layout) {
        case blGlyphLeft:
            offset = QPoint(margin, (ch - h) / 2);
            break;
        case blGlyphRight:
            offset = QPoint(cw - w - margin, (ch - h) / 2);
            break;
        case blGlyphTop:
            offset = QPoint((cw - w) / 2, margin);
            break;
        case blGlyphBottom:
            offset = QPoint((cw - w) / 2, ch - h - margin);
            break;
        }
    }
    return {glyphAt + offset, QRect(captionAt + offset, c)};
}

void TShineSpeedButton::paintGlyphAndCaption(Canvas& canvas) const {
    canvas.font().assign(hot() ? activeFont_ : Font());
    const std::optional<ShineStateGlyph> glyph = makeShineStateGlyph(
        glyph_, state_, {activeImage_, disabledImage_, shineColor_, colors_->Color()});
    QSize captionSize;
    if (!Caption().isEmpty())
        captionSize = canvas.drawText(Caption(), QRect(0, 0, Width(), 0), DT_CALCRECT).rect.size();
    const Placement place =
        placeGlyphAndCaption(size(), glyph_.size(), captionSize, layout_, margin_, spacing_);
    if (glyph) {
        QPoint at = place.glyph;
        if (pressedLook())
            at += QPoint(1, 1);
        const QImage& picture = glyph->picture;
        if (glyph->isMask) {
            // Embossed: the light colour one pixel down and right, the dark one over it.
            canvas.brush().setStyle(bsSolid);
            canvas.brush().setColor(disabledHighlight_);
            canvas.bitBlt(at.x() + 1, at.y() + 1, picture.width(), picture.height(), picture, 0, 0,
                          DSPDXAX);
            canvas.brush().setColor(disabledShadow_);
            canvas.bitBlt(at.x(), at.y(), picture.width(), picture.height(), picture, 0, 0,
                          DSPDXAX);
        } else {
            canvas.brush().setStyle(bsClear);
            canvas.drawTransparent(at.x(), at.y(), picture, glyph->transparentColor);
        }
    }
    if (!Caption().isEmpty())
        paintCaption(canvas, pressedLook() ? place.caption.translated(1, 1) : place.caption);
}

void TShineSpeedButton::paintCaption(Canvas& canvas, QRect rect) const {
    canvas.brush().setStyle(bsClear);
    const auto drawAt = [&](int dx, int dy, TColor color) {
        canvas.font().setColor(color);
        canvas.drawText(Caption(), rect.translated(dx, dy), kCaptionFormat);
    };
    if (state_ == stDisabled) {
        drawAt(1, 1, disabledHighlight_);
        drawAt(0, 0, disabledShadow_);
        return;
    }
    const TColor color = canvas.font().color();
    if (fontShadow_ != clNone)
        drawAt(1, 1, fontShadow_);
    if (fontHighlight_ != clNone)
        drawAt(-1, -1, fontHighlight_);
    drawAt(0, 0, color);
}

void TShineSpeedButton::paintFrame(Canvas& canvas) const {
    const bool pressed = pressedLook();
    const bool shown =
        pressed ? (downFrame_ && state_ == stDown) || (activeFrame_ && state_ == stActiveDown)
                : (upFrame_ && state_ != stActiveUp) || (activeFrame_ && state_ == stActiveUp);
    if (!shown)
        return;
    canvas.pen().setStyle(psSolid);
    canvas.pen().setWidth(1);
    canvas.pen().setMode(pmCopy);
    const int w = Width();
    const int h = Height();
    const auto topLeft = [&](int k, int end, TColor color) {
        canvas.pen().setColor(color);
        canvas.moveTo(k, k);
        canvas.lineTo(w - end, k);
        canvas.moveTo(k, k);
        canvas.lineTo(k, h - end);
    };
    const auto bottomRight = [&](int k, int end, TColor color) {
        canvas.pen().setColor(color);
        canvas.moveTo(w - k, h - k);
        canvas.lineTo(end, h - k);
        canvas.moveTo(w - k, h - k);
        canvas.lineTo(w - k, end);
    };
    const TShineBtnColors& set = pressed ? *pressedColors_ : *colors_;
    switch (frameType_) {
    case ftFlatFrame:
        topLeft(0, 1, pressed ? set.Shadow() : set.Highlight());
        bottomRight(1, 0, pressed ? set.Highlight() : set.Shadow());
        break;
    case ftNormalFrame:
        if (pressed) {
            topLeft(1, 1, set.Shadow());
            topLeft(0, 1, set.DarkShadow());
            bottomRight(1, 0, set.Highlight());
        } else {
            bottomRight(2, 0, set.Shadow());
            bottomRight(1, 0, set.DarkShadow());
            topLeft(0, 1, set.Highlight());
        }
        break;
    case ftEnclosedFrame:
        topLeft(1, 2, pressed ? set.Shadow() : set.Highlight());
        bottomRight(2, 1, pressed ? set.Highlight() : set.Shadow());
        // The enclosing line is the released set's darkest colour in both looks.
        canvas.pen().setColor(colors_->DarkShadow());
        canvas.brush().setStyle(bsClear);
        canvas.rectangle(0, 0, w, h);
        break;
    }
}
