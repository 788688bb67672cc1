#pragma once

#include "framework/Label.h"

class TTimer;

// A label whose text colour steps between the background colour and the font colour on a timer
// of its own, so the text fades in and out: continuously, or stopping at the first end reached.
// Each step lets the application handle its pending events before it returns.
class TAHMFadingLabel : public TLabel {
    Q_OBJECT
    Q_PROPERTY(bool Showing READ Showing WRITE setShowing)
    Q_PROPERTY(bool Fade READ Fade WRITE setFade)
    Q_PROPERTY(int BetweenColors READ BetweenColors WRITE setBetweenColors)
    Q_PROPERTY(bool FadeAlltheTime READ FadeAlltheTime WRITE setFadeAlltheTime)
    Q_PROPERTY(int FadeSpeed READ FadeSpeed WRITE setFadeSpeed)
    Q_PROPERTY(QString About READ About WRITE setAbout)

public:
    explicit TAHMFadingLabel(QWidget* parent = nullptr);
    ~TAHMFadingLabel() override;

    // Jumps to the fully shown (True) or hidden (False) end and takes one step from there.
    bool Showing() const { return showing_; }
    void setShowing(bool showing);
    // Runs or stops the fade timer.
    bool Fade() const { return fade_; }
    void setFade(bool fade);
    // Steps from background to font colour; only 1 to 255 are taken.
    int BetweenColors() const { return betweenColors_; }
    void setBetweenColors(int steps);
    bool FadeAlltheTime() const { return fadeAlltheTime_; }
    void setFadeAlltheTime(bool always) { fadeAlltheTime_ = always; }
    // The timer interval in milliseconds.
    int FadeSpeed() const { return fadeSpeed_; }
    void setFadeSpeed(int milliseconds);
    const QString& About() const { return about_; }
    void setAbout(const QString& about) { about_ = about; }

    const TNotifyEvent& OnNotVisible() const { return onNotVisible_; }
    void setOnNotVisible(TNotifyEvent handler) { onNotVisible_ = std::move(handler); }
    const TNotifyEvent& OnTotallyVisible() const { return onTotallyVisible_; }
    void setOnTotallyVisible(TNotifyEvent handler) { onTotallyVisible_ = std::move(handler); }
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;

    // One tick of the fade timer.
    void FadeStep();

    int step() const { return step_; }
    bool fadingIn() const { return fadingIn_; }
    // The colour the text is drawn in now.
    TColor fadeColor() const { return fadeColor_; }
    // The text colour at a step: background + MulDiv(step, font - background, steps - 1) per
    // channel, wrapping in 8 bits.
    static TColor colorAtStep(TColor background, TColor font, int step, int betweenColors);

    void Paint(platform::Canvas& canvas) override;

private:
    unsigned fadeFormat() const;

    bool showing_ = false;
    bool fade_ = true;
    int betweenColors_ = 16;
    bool fadeAlltheTime_ = true;
    int fadeSpeed_ = 2;
    QString about_;
    TNotifyEvent onNotVisible_;
    TNotifyEvent onTotallyVisible_;

    int step_ = 1;
    bool fadingIn_ = false;
    TColor fadeColor_ = clBlack;
    TTimer* timer_; // owned through the QObject tree
};
