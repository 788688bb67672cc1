#include "skin/AHMFadingLabel.h"

#include "framework/Application.h"
#include "framework/Timer.h"
#include "platform/Canvas.h"
#include "platform/MulDiv.h"

#include <QCoreApplication>

using namespace platform;

TAHMFadingLabel::TAHMFadingLabel(QWidget* parent) : TLabel(parent), timer_(new TTimer(this)) {
    timer_->setInterval(fadeSpeed_);
    timer_->setEnabled(true);
    timer_->setOnTimer([this] { FadeStep(); });
    setTransparent(true);
}

TAHMFadingLabel::~TAHMFadingLabel() {
    timer_->setEnabled(false);
}

void TAHMFadingLabel::setShowing(bool showing) {
    showing_ = showing;
    step_ = showing ? betweenColors_ : 1;
    FadeStep();
}

void TAHMFadingLabel::setFade(bool fade) {
    fade_ = fade;
    timer_->setEnabled(fade);
}

void TAHMFadingLabel::setBetweenColors(int steps) {
    if (steps < 1 || steps > 255)
        return;
    betweenColors_ = steps;
}

void TAHMFadingLabel::setFadeSpeed(int milliseconds) {
    fadeSpeed_ = milliseconds;
    timer_->setInterval(milliseconds);
}

bool TAHMFadingLabel::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName == QLatin1String("OnNotVisible"))
        onNotVisible_ = std::move(handler);
    else if (eventName == QLatin1String("OnTotallyVisible"))
        onTotallyVisible_ = std::move(handler);
    else
        return TLabel::bindEvent(eventName, std::move(handler));
    return true;
}

TColor TAHMFadingLabel::colorAtStep(TColor background, TColor font, int step, int betweenColors) {
    const std::uint32_t back = colorToRgb(background);
    const std::uint32_t fore = colorToRgb(font);
    std::uint32_t color = 0;
    for (int shift : {0, 8, 16}) {
        const int b = int((back >> shift) & 0xFF);
        const int f = int((fore >> shift) & 0xFF);
        color |= std::uint32_t((b + mulDiv(step, f - b, betweenColors - 1)) & 0xFF) << shift;
    }
    return TColor(color);
}

void TAHMFadingLabel::FadeStep() {
    step_ += fadingIn_ ? 1 : -1;
    if (fade_) {
        const TColor next = colorAtStep(Color(), Font().color(), step_, betweenColors_);
        // The text covers the same pixels each time: a new colour needs only the text redrawn.
        if (next != fadeColor_) {
            fadeColor_ = next;
            if (Enabled())
                Invalidate();
        }
    }
    if (step_ >= betweenColors_ - 1) {
        fadingIn_ = false;
        if (!fadeAlltheTime_)
            setFade(false);
        if (onTotallyVisible_)
            onTotallyVisible_();
    }
    if (step_ <= 1) {
        fadingIn_ = true;
        if (onNotVisible_)
            onNotVisible_();
        if (!fadeAlltheTime_)
            setFade(false);
    }
    // Nothing to hand on while a form description is still being applied.
    if (isLoading())
        return;
    if (Application != nullptr)
        Application->ProcessMessages();
    else
        QCoreApplication::processEvents();
}

unsigned TAHMFadingLabel::fadeFormat() const {
    unsigned format = DT_WORDBREAK | DT_EXPANDTABS;
    if (Alignment() == taRightJustify)
        format |= DT_RIGHT;
    else if (Alignment() == taCenter)
        format |= DT_CENTER;
    if (!ShowAccelChar())
        format |= DT_NOPREFIX;
    return format;
}

void TAHMFadingLabel::Paint(Canvas& canvas) {
    canvas.brush().setStyle(bsSolid);
    canvas.brush().setColor(Color());
    canvas.fillRect(ClientRect());
    canvas.font().assign(Font());
    canvas.brush().setStyle(bsClear);
    if (!Enabled())
        return;
    canvas.font().setColor(fadeColor_);
    canvas.drawText(Caption(), ClientRect(), fadeFormat());
}
