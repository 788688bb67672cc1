#include "skin/ShineStateGlyph.h"

#include <algorithm>
#include <functional>

using platform::colorToRgb;
using platform::swapRedBlue;

namespace {

// Pixels as 0x00RRGGBB.
using Pixel = std::uint32_t;

Pixel pixelAt(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] & 0xFFFFFF;
}

void setPixelAt(QImage& image, int x, int y, Pixel value) {
    reinterpret_cast<QRgb*>(image.scanLine(y))[x] = 0xFF000000u | value;
}

Pixel perChannel(Pixel a, Pixel b, const std::function<int(int, int)>& mix) {
    Pixel result = 0;
    for (int shift : {0, 8, 16})
        result |= Pixel(mix(int((a >> shift) & 0xFF), int((b >> shift) & 0xFF)) & 0xFF) << shift;
    return result;
}

// Applies f to every pixel that is not the background colour.
void forEachForeground(QImage& image, Pixel key, const std::function<Pixel(Pixel)>& f) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const Pixel p = pixelAt(image, x, y); p != key)
                setPixelAt(image, x, y, f(p));
}

// Every second foreground pixel, alternating from row to row as a checkerboard.
void checkerboard(QImage& image, Pixel key, Pixel replacement) {
    int counter = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x, ++counter)
            if (counter % 2 == 1 && pixelAt(image, x, y) != key)
                setPixelAt(image, x, y, replacement);
        if (image.width() % 2 == 0)
            ++counter;
    }
}

// Background pixels touching the glyph become the shine colour; with spreading, each such
// pixel also lights its background neighbours away from the glyph.
void outline(QImage& image, const QImage& glyph, Pixel key, Pixel shine, bool spread) {
    const int width = glyph.width();
    const int height = glyph.height();
    const auto background = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height && pixelAt(glyph, x, y) == key;
    };
    const auto foreground = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height && pixelAt(glyph, x, y) != key;
    };
    const auto light = [&](int x, int y) {
        if (background(x, y))
            setPixelAt(image, x, y, shine);
    };
    struct Direction {
        int dx, dy;
    };
    const Direction directions[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!background(x, y))
                continue;
            for (const Direction d : directions) {
                if (!foreground(x + d.dx, y + d.dy))
                    continue;
                setPixelAt(image, x, y, shine);
                if (!spread)
                    continue;
                // Away from the glyph, and to both sides.
                light(x - d.dx, y - d.dy);
                light(x + d.dy, y + d.dx);
                light(x - d.dy, y - d.dx);
            }
        }
    }
}

QImage edgeMask(const QImage& glyph) {
    QImage mask(glyph.size(), QImage::Format_RGB32);
    mask.fill(Qt::black);
    constexpr Pixel white = 0xFFFFFF;
    for (int y = 0; y + 1 < glyph.height(); ++y) {
        for (int x = 0; x + 1 < glyph.width(); ++x)
            if (pixelAt(glyph, x, y) != pixelAt(glyph, x + 1, y + 1))
                setPixelAt(mask, x, y, white);
        for (int x = 1; x < glyph.width(); ++x)
            if (pixelAt(glyph, x, y) != pixelAt(glyph, x - 1, y + 1))
                setPixelAt(mask, x - 1, y, white);
    }
    return mask;
}

void applyActive(QImage& image, const QImage& glyph, Pixel key, const ShineGlyphEffects& effects) {
    const Pixel shine = swapRedBlue(colorToRgb(effects.shine));
    switch (effects.active) {
    case aiNormal:
        break;
    case aiXorLight:
        forEachForeground(image, key, [&](Pixel p) { return (p ^ shine) & 0xFFFFFF; });
        break;
    case aiHalfLight:
        forEachForeground(image, key, [&](Pixel p) {
            return perChannel(p, shine, [](int a, int s) { return (a + s) / 2; });
        });
        break;
    case aiQuaterLight:
        forEachForeground(image, key, [&](Pixel p) {
            return perChannel(p, shine, [](int a, int s) { return (3 * s + a) / 4; });
        });
        break;
    case aiAddLight:
        forEachForeground(image, key, [&](Pixel p) {
            return perChannel(p, shine, [](int a, int s) { return std::min(a + s, 255); });
        });
        break;
    case aiFrameLight:
    case aiFrameLight2:
        outline(image, glyph, key, shine, effects.active == aiFrameLight2);
        break;
    case aiMaskLight:
        checkerboard(image, key, shine);
        break;
    }
}

void applyDisabled(QImage& image, Pixel key, const ShineGlyphEffects& effects) {
    const Pixel face = swapRedBlue(colorToRgb(effects.face));
    switch (effects.disabled) {
    case diDefault:
        break;
    case diGrayscale:
        forEachForeground(image, key, [](Pixel p) {
            const Pixel v = ((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)) / 3;
            return v * 0x010101u;
        });
        break;
    case diAlphaHalfTrans:
        forEachForeground(image, key, [&](Pixel p) {
            return perChannel(p, face, [](int a, int f) { return (a + f) / 2; });
        });
        break;
    case diAlphaQuaterTrans:
        forEachForeground(image, key, [&](Pixel p) {
            return perChannel(p, face, [](int a, int f) { return (3 * f + a) / 4; });
        });
        break;
    case diMaskTrans:
        checkerboard(image, key, key);
        break;
    }
}

} // namespace

std::optional<ShineStateGlyph> makeShineStateGlyph(const QImage& source, TShineButtonState state,
                                                   const ShineGlyphEffects& effects) {
    if (source.isNull() || source.width() == 0 || source.height() == 0)
        return std::nullopt;
    const QImage glyph = source.convertToFormat(QImage::Format_RGB32);
    const Pixel key = pixelAt(glyph, 0, glyph.height() - 1);
    ShineStateGlyph result;
    result.picture = glyph.copy();
    if (state == stActiveDown || state == stActiveUp) {
        applyActive(result.picture, glyph, key, effects);
    } else if (state == stDisabled && effects.disabled == diDefault) {
        result.picture = edgeMask(glyph);
        result.isMask = true;
        return result;
    } else if (state == stDisabled) {
        applyDisabled(result.picture, key, effects);
    }
    const Pixel bottomLeft = pixelAt(result.picture, 0, result.picture.height() - 1);
    result.transparentColor = TColor(swapRedBlue(bottomLeft));
    return result;
}
