#pragma once

#include "platform/Canvas.h"

#include <QImage>
#include <QString>
#include <map>
#include <set>
#include <string>

namespace canvastest {

inline QImage blankImage(int width, int height, TColor color = clWhite) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(platform::toQRgb(color));
    return image;
}

inline TColor at(const QImage& image, int x, int y) {
    return platform::fromQRgb(image.pixel(x, y));
}

// The region as text, one row a line, each pixel the character its colour maps to ('?' for a
// colour not in the legend).
inline std::string picture(const QImage& image, const QRect& region,
                           const std::map<TColor, char>& legend) {
    std::string text;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const auto it = legend.find(at(image, x, y));
            text += it == legend.end() ? '?' : it->second;
        }
        text += '\n';
    }
    return text;
}

inline std::set<QRgb> colours(const QImage& image) {
    std::set<QRgb> result;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result.insert(image.pixel(x, y));
    return result;
}

// Pixels that differ from the given colour.
inline std::set<std::pair<int, int>> inked(const QImage& image, TColor background) {
    std::set<std::pair<int, int>> result;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) != background)
                result.insert({x, y});
    return result;
}

} // namespace canvastest
