#pragma once

#include "framework/GraphicControl.h"

#include <QImage>

// A small flat push button embedded in an edit: the face in the button colour with its glyph
// centred; a thin raised edge while the mouse is over it and a sunken one, with the glyph moved
// down and right by a pixel, while it is held. The glyph's magenta pixels are transparent.
// Click() runs OnClick, as every control's does.
class TEditButton : public TGraphicControl {
    Q_OBJECT

public:
    explicit TEditButton(QWidget* parent = nullptr);

    const QImage& Glyph() const { return glyph_; }
    void setGlyph(const QImage& glyph);

    bool isHot() const { return hot_; }
    bool isDown() const { return down_ && inside_; }

    void Paint(platform::Canvas& canvas) override;

    // The colour that marks a glyph's transparent pixels.
    static constexpr TColor kGlyphKey = clFuchsia;

protected:
    void EnabledChanged() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void drawGlyph(platform::Canvas& canvas, QPoint at) const;
    void drawDisabledGlyph(platform::Canvas& canvas, QPoint at) const;
    void setState(bool hot, bool down, bool inside);

    QImage glyph_;
    bool hot_ = false;
    bool down_ = false;
    bool inside_ = false;
};
