#pragma once

#include "framework/GraphicControl.h"
#include "framework/Panel.h"
#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "support/ScratchDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <memory>

// A windowless control that fills itself with one colour and counts its paints.
class FillControl : public TGraphicControl {
    Q_OBJECT

public:
    explicit FillControl(QWidget* parent, TColor fill = clRed)
        : TGraphicControl(parent), fill(fill) {}

    void Paint(platform::Canvas& canvas) override {
        ++paints;
        canvas.brush().setColor(fill);
        canvas.fillRect(ClientRect());
    }

    TColor fill;
    int paints = 0;
};

// A plain windowed host with no bevel, in one colour.
inline std::unique_ptr<TPanel> makeHost(int width, int height, TColor color = clWhite) {
    auto host = std::make_unique<TPanel>();
    host->setBevelOuter(bvNone);
    host->setColor(color);
    host->setBounds(0, 0, width, height);
    return host;
}

// A pixel as 0x00BBGGRR and a colour as it is painted (system colours resolved).
inline TColor pixelAt(const QImage& image, int x, int y) {
    return platform::fromQRgb(image.pixel(x, y));
}
inline TColor painted(TColor color) {
    return TColor(platform::colorToRgb(color));
}

class FrameworkScratch : public ScratchDir {
public:
    FrameworkScratch() : ScratchDir(QStringLiteral("framework")) {}
};
