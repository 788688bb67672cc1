#include "core/BgrImage.h"

#include "core/Error.h"

#include <limits>
#include <string>

namespace core {

BgrImage BgrImage::blank(int width, int height) {
    constexpr int widestRow = (std::numeric_limits<int>::max() - 3) / 3;
    if (width < 0 || height < 0 || width > widestRow)
        throw Error("invalid picture size " + std::to_string(width) + " x " +
                    std::to_string(height));
    BgrImage image;
    image.width = width;
    image.height = height;
    image.bytes.assign(static_cast<std::size_t>(image.stride()) * static_cast<std::size_t>(height),
                       0);
    return image;
}

} // namespace core
