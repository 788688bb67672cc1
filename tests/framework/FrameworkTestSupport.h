#pragma once

#include "framework/GraphicControl.h"
#include "framework/Panel.h"
#include "platform/Canvas.h"
#include "platform/Colors.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
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

// A fresh folder under KIRIMO_TEST_TMP (or the system's temp folder), removed afterwards.
class FrameworkScratch {
public:
    FrameworkScratch() : dir_(templatePath()) {}
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    static QString templatePath() {
        const char* root = std::getenv("KIRIMO_TEST_TMP");
        const QString base = root != nullptr ? QString::fromLocal8Bit(root) : QDir::tempPath();
        QDir().mkpath(base);
        return base + QStringLiteral("/framework-XXXXXX");
    }

    QTemporaryDir dir_;
};
