#include "picture/PictureOrientation.h"

#include "core/BgrImage.h"

#include <cmath>
#include <cstddef>
#include <cstring>

extern "C" {
#include <libavutil/display.h>
#include <libavutil/frame.h>
}

namespace picture {

namespace {

bool near(double angle, double quarter) {
    return std::fabs(angle - quarter) < 1.0;
}

void prepare(core::BgrImage& out, int width, int height) {
    const std::size_t size =
        static_cast<std::size_t>((width * 3 + 3) & ~3) * static_cast<std::size_t>(height);
    out.width = width;
    out.height = height;
    if (out.bytes.size() != size)
        out.bytes.assign(size, 0);
}

} // namespace

PictureOrientation::PictureOrientation(int quarterTurns, bool mirrored)
    : quarterTurns_(((quarterTurns % 4) + 4) % 4), mirrored_(mirrored) {}

// The command line's own reading, so that odd matrices (scaled, sheared, a mirror written as a
// half turn) come out as it shows them: the angle rounded to a whole degree, then the signs of
// the entries it looks at.
PictureOrientation PictureOrientation::fromDisplayMatrix(const std::int32_t* matrix) {
    if (matrix == nullptr)
        return {};
    double angle = -std::round(av_display_rotation_get(matrix));
    angle -= 360 * std::floor(angle / 360 + 0.9 / 360);
    if (near(angle, 90))
        return {1, matrix[3] > 0};
    if (near(angle, 180)) {
        const bool left = matrix[0] < 0;
        const bool up = matrix[4] < 0;
        return {up ? 2 : 0, left != up};
    }
    if (near(angle, 270))
        return {3, matrix[3] < 0};
    if (near(angle, 0) && matrix[4] < 0)
        return {2, true};
    return {};
}

PictureOrientation PictureOrientation::ofFrame(const AVFrame& frame, PictureOrientation stream) {
    const AVFrameSideData* data = av_frame_get_side_data(&frame, AV_FRAME_DATA_DISPLAYMATRIX);
    if (data == nullptr || data->size < 9 * sizeof(std::int32_t))
        return stream;
    std::int32_t matrix[9];
    std::memcpy(matrix, data->data, sizeof matrix);
    return fromDisplayMatrix(matrix);
}

PictureOrientation::Walk PictureOrientation::walkOver(const core::BgrImage& stored,
                                                      std::ptrdiff_t row,
                                                      std::ptrdiff_t pixel) const {
    const std::ptrdiff_t lastRow = (stored.height - 1) * row;
    const std::ptrdiff_t lastColumn = (stored.width - 1) * pixel;
    Walk walk{0, pixel, row};
    switch (quarterTurns_) {
    case 1:
        walk = {lastRow, -row, pixel};
        break;
    case 2:
        walk = {lastRow + lastColumn, -pixel, -row};
        break;
    case 3:
        walk = {lastColumn, row, -pixel};
        break;
    default:
        break;
    }
    if (mirrored_) {
        const int width = swapsSides() ? stored.height : stored.width;
        walk.start += (width - 1) * walk.across;
        walk.across = -walk.across;
    }
    return walk;
}

// Each row of the result walks the stored picture along a row or a column, forwards or back:
// where it starts and the step between pixels follow from the turn and the mirror.
void PictureOrientation::apply(const core::BgrImage& stored, core::BgrImage& out) const {
    const int width = swapsSides() ? stored.height : stored.width;
    const int height = swapsSides() ? stored.width : stored.height;
    prepare(out, width, height);
    out.palette = stored.palette;
    out.sampleAspect = swapsSides() ? stored.sampleAspect.turned() : stored.sampleAspect;
    out.alpha.clear();
    if (width == 0 || height == 0)
        return;
    const Walk walk = walkOver(stored, stored.rowStep(), 3);
    const std::ptrdiff_t start = walk.start;
    const std::ptrdiff_t across = walk.across;
    const std::ptrdiff_t down = walk.down;
    const std::uint8_t* const source = stored.row(0);
    const int used = width * 3;
    const std::size_t padding = static_cast<std::size_t>(out.stride() - used);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source + start + y * down;
        std::uint8_t* to = out.row(y);
        for (int x = 0; x < width; ++x, from += across, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
        std::memset(out.row(y) + used, 0, padding);
    }
    turnAlpha(stored, out);
}

// The alpha plane takes the same walk as the colours, one byte a pixel and rows without padding.
void PictureOrientation::turnAlpha(const core::BgrImage& stored, core::BgrImage& out) const {
    const std::size_t pixels =
        static_cast<std::size_t>(stored.width) * static_cast<std::size_t>(stored.height);
    if (stored.alpha.size() != pixels) {
        out.alpha.clear();
        return;
    }
    out.alpha.resize(pixels);
    const Walk walk = walkOver(stored, stored.width, 1);
    std::uint8_t* to = out.alpha.data();
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* from = stored.alpha.data() + walk.start + y * walk.down;
        for (int x = 0; x < out.width; ++x, from += walk.across)
            *to++ = *from;
    }
}

} // namespace picture
