#pragma once

#include "framework/Control.h"

// A windowless control: it has no surface of its own. Its parent TWinControl paints it, in the
// order of its children (form order), so later controls draw over earlier ones and raster
// operations see the pixels beneath. It still receives mouse input over its area unless made
// mouse-transparent. Windowed siblings always lie above it.
class TGraphicControl : public TControl {
    Q_OBJECT

public:
    explicit TGraphicControl(QWidget* parent = nullptr);

    bool windowless() const override { return true; }

    // Marks its area of the parent for repainting; Repaint() paints it at once.
    void Invalidate() override;
    void Invalidate(const QRect& clientRect) override;
    void Repaint() override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void stackBelowWindowedSiblings();
};
