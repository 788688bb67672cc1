#pragma once

#include <QImage>

namespace core {
struct BgrImage;
}

namespace player {

// The frame as a Format_RGB32 picture with the same pixel values. A palettised frame's pixels
// are already its palette colours, so they come out exact; the palette itself stays with the
// BgrImage. Throws core::Error when the frame's bytes do not cover its size.
QImage toQImage(const core::BgrImage& frame);

} // namespace player
