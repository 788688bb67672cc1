#pragma once

#include "framework/GraphicControl.h"
#include "platform/TFont.h"
#include "skin/ShineBtnColors.h"
#include "skin/SkinTypes.h"

#include <QImage>
#include <QPoint>
#include <QRect>

class TTimer;

// A windowless push button that draws everything itself: a solid or gradient face (one colour
// set released, another pressed), a bevel frame, an optional glyph with a shine effect while
// the mouse is over it, and a caption with optional shadow and highlight copies. It is hot
// while the mouse is over it (a 200 ms timer notices a missed leave), can latch down in an
// exclusive group, and with ClickDownHook stays drawn pressed while its click handler runs.
class TShineSpeedButton : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE setDown)
    Q_PROPERTY(bool ClickDownHook READ ClickDownHook WRITE setClickDownHook)
    Q_PROPERTY(bool AccelCharDown READ AccelCharDown WRITE setAccelCharDown)
    Q_PROPERTY(skin::TFrameType FrameType READ FrameType WRITE setFrameType)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool ActiveFrame READ ActiveFrame WRITE setActiveFrame)
    Q_PROPERTY(bool UpFrame READ UpFrame WRITE setUpFrame)
    Q_PROPERTY(bool DownFrame READ DownFrame WRITE setDownFrame)
    Q_PROPERTY(skin::TActiveImageType ActiveImage READ ActiveImage WRITE setActiveImage)
    Q_PROPERTY(skin::TDisabledImageType DisabledImage READ DisabledImage WRITE setDisabledImage)
    Q_PROPERTY(TColor DisabledHighlight READ DisabledHighlight WRITE setDisabledHighlight)
    Q_PROPERTY(TColor DisabledShadow READ DisabledShadow WRITE setDisabledShadow)
    Q_PROPERTY(TShineBtnColors* Colors READ Colors WRITE setColors)
    Q_PROPERTY(TShineBtnColors* PressedColors READ PressedColors WRITE setPressedColors)
    Q_PROPERTY(TColor ShineColor READ ShineColor WRITE setShineColor)
    Q_PROPERTY(TColor FontHighlight READ FontHighlight WRITE setFontHighlight)
    Q_PROPERTY(TColor FontShadow READ FontShadow WRITE setFontShadow)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(skin::TButtonLayout Layout READ Layout WRITE setLayout)
    Q_PROPERTY(int Margin READ Margin WRITE setMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE setGlyph)

public:
    explicit TShineSpeedButton(QWidget* parent = nullptr);
    ~TShineSpeedButton() override;

    int GroupIndex() const { return groupIndex_; }
    void setGroupIndex(int index);
    bool Down() const { return down_; }
    void setDown(bool down);
    bool ClickDownHook() const { return clickDownHook_; }
    void setClickDownHook(bool on);
    bool AccelCharDown() const { return accelCharDown_; }
    void setAccelCharDown(bool on);
    TFrameType FrameType() const { return frameType_; }
    void setFrameType(TFrameType type);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool ActiveFrame() const { return activeFrame_; }
    void setActiveFrame(bool on);
    bool UpFrame() const { return upFrame_; }
    void setUpFrame(bool on);
    bool DownFrame() const { return downFrame_; }
    void setDownFrame(bool on);
    TActiveImageType ActiveImage() const { return activeImage_; }
    void setActiveImage(TActiveImageType type);
    TDisabledImageType DisabledImage() const { return disabledImage_; }
    void setDisabledImage(TDisabledImageType type);
    TColor DisabledHighlight() const { return disabledHighlight_; }
    void setDisabledHighlight(TColor color);
    TColor DisabledShadow() const { return disabledShadow_; }
    void setDisabledShadow(TColor color);
    TShineBtnColors* Colors() const { return colors_; }
    // Copies the set in; the owned one stays. A null value is ignored.
    void setColors(const TShineBtnColors* colors);
    TShineBtnColors* PressedColors() const { return pressedColors_; }
    void setPressedColors(const TShineBtnColors* colors);
    TColor ShineColor() const { return shineColor_; }
    void setShineColor(TColor color);
    // clNone: no such copy of the caption. Setting repaints even when unchanged.
    TColor FontHighlight() const { return fontHighlight_; }
    void setFontHighlight(TColor color);
    TColor FontShadow() const { return fontShadow_; }
    void setFontShadow(TColor color);
    // The caption font in the hot states.
    TFont& ActiveFont() { return activeFont_; }
    const TFont& ActiveFont() const { return activeFont_; }
    void setActiveFont(const TFont& font);
    bool AllowAllUp() const { return allowAllUp_; }
    void setAllowAllUp(bool allow);
    TButtonLayout Layout() const { return layout_; }
    void setLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    void setMargin(int margin);
    int Spacing() const { return spacing_; }
    void setSpacing(int spacing);
    const QImage& Glyph() const { return glyph_; }
    // A null picture clears the glyph.
    void setGlyph(const QImage& glyph);

    TShineButtonState State() const { return state_; }

    // The hot-state timer's tick: ends the hot state once the cursor has left unnoticed.
    void ActiveButtonTimerOnTimer();
    // Another button of the group went down (or changed AllowAllUp).
    void ButtonPressed(int groupIndex, bool senderDown, bool senderAllowAllUp);

    void Paint(platform::Canvas& canvas) override;
    void Click() override;
    // ActiveFont.Name, .Height, ... and the control's own.
    bool applyProperty(const QString& path, const QVariant& value) override;

    // Where the glyph's top-left corner and the caption go in a client area of the given size.
    struct Placement {
        QPoint glyph;
        QRect caption;
    };
    static Placement placeGlyphAndCaption(QSize client, QSize glyph, QSize caption,
                                          TButtonLayout layout, int margin, int spacing);

protected:
    // The enter and leave notifications, with the shift state and the cursor in client
    // coordinates.
    void MouseEnter() override;
    void MouseLeave() override;
    virtual void MouseEnter(TShiftState shift, int x, int y);
    virtual void MouseLeave(TShiftState shift, int x, int y);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void EnabledChanged() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressedLook() const { return state_ < stActiveUp; }
    bool hot() const { return state_ == stActiveDown || state_ == stActiveUp; }
    QPoint cursorPosition() const;
    bool cursorInside() const;
    void updateTracking(bool overButton);
    void groupUpdateStatus(int groupIndex);
    template <class T> void store(T& field, T value);

    void paintFace(platform::Canvas& canvas) const;
    void paintGlyphAndCaption(platform::Canvas& canvas) const;
    void paintCaption(platform::Canvas& canvas, QRect rect) const;
    void paintFrame(platform::Canvas& canvas) const;

    int groupIndex_ = 0;
    bool down_ = false;
    bool clickDownHook_ = false;
    bool accelCharDown_ = false;
    TFrameType frameType_ = ftNormalFrame;
    bool transparent_ = false;
    bool activeFrame_ = true;
    bool upFrame_ = true;
    bool downFrame_ = true;
    TActiveImageType activeImage_ = aiFrameLight;
    TDisabledImageType disabledImage_ = diDefault;
    TColor disabledHighlight_ = clBtnHighlight;
    TColor disabledShadow_ = clBtnShadow;
    TShineBtnColors* colors_;        // owned through the QObject tree
    TShineBtnColors* pressedColors_; // owned through the QObject tree
    TColor shineColor_ = clYellow;
    TColor fontHighlight_ = clNone;
    TColor fontShadow_ = clNone;
    TFont activeFont_;
    bool allowAllUp_ = false;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    QImage glyph_;

    TShineButtonState state_ = stUp;
    bool mouseInside_ = false;
    bool tracking_ = false;
    TTimer* activeTimer_; // owned through the QObject tree
};
