#include "player/PictureLayout.h"

#include <algorithm>
#include <cstdint>

namespace player {
namespace {

QRect centred(QSize size, QSize area) {
    return {(area.width() - size.width()) / 2, (area.height() - size.height()) / 2, size.width(),
            size.height()};
}

// The picture scaled to touch the area on one axis; the other side is rounded to nearest.
QSize fittedSize(QSize picture, QSize area) {
    const std::int64_t pw = picture.width();
    const std::int64_t ph = picture.height();
    const std::int64_t aw = area.width();
    const std::int64_t ah = area.height();
    if (pw * ah <= ph * aw) {
        const auto width = static_cast<int>((2 * pw * ah + ph) / (2 * ph));
        return {std::max(width, 1), area.height()};
    }
    const auto height = static_cast<int>((2 * ph * aw + pw) / (2 * pw));
    return {area.width(), std::max(height, 1)};
}

} // namespace

QRect pictureRect(TScaleMode mode, QSize picture, QSize area) {
    if (picture.isEmpty() || area.isEmpty())
        return {};
    switch (mode) {
    case smStretch:
        return {QPoint(0, 0), area};
    case smActual:
        return centred(picture, area);
    case smFit:
        break;
    }
    return centred(fittedSize(picture, area), area);
}

} // namespace player
