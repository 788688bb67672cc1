#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
struct AVFrame;
}

namespace core {
struct BgrImage;
}

namespace picture {

// How a stored picture is shown upright: turned clockwise by a quarter turn or more, then
// mirrored left to right.
class PictureOrientation {
public:
    PictureOrientation() = default;
    // `quarterTurns` clockwise, any whole number.
    PictureOrientation(int quarterTurns, bool mirrored);

    // As the ffmpeg command line turns a picture of this display matrix (nine 16.16 and 2.30
    // numbers); nullptr is as stored. Angles other than quarter turns leave it as stored.
    static PictureOrientation fromDisplayMatrix(const std::int32_t* matrix);
    // The frame's own display matrix where it carries one, else `stream`.
    static PictureOrientation ofFrame(const AVFrame& frame, PictureOrientation stream);

    int rotation() const { return quarterTurns_ * 90; } // 0, 90, 180 or 270, clockwise
    bool isMirrored() const { return mirrored_; }
    bool isUpright() const { return quarterTurns_ == 0 && !mirrored_; }
    bool swapsSides() const { return quarterTurns_ % 2 == 1; }

    // `out` becomes `stored` shown upright (a picture of its own: `out` is not `stored`).
    void apply(const core::BgrImage& stored, core::BgrImage& out) const;

    bool operator==(const PictureOrientation&) const = default;

private:
    // Where a result row starts in the stored picture, and the steps along and between rows.
    struct Walk {
        std::ptrdiff_t start;
        std::ptrdiff_t across;
        std::ptrdiff_t down;
    };
    Walk walkOver(const core::BgrImage& stored, std::ptrdiff_t row, std::ptrdiff_t pixel) const;
    void turnAlpha(const core::BgrImage& stored, core::BgrImage& out) const;

    int quarterTurns_ = 0;
    bool mirrored_ = false;
};

} // namespace picture
