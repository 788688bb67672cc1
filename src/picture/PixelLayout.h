#pragma once

#include "core/BgrImage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace picture {

// How a caller's array holds a picture: rows top first, no padding, channels in one of the
// orders array libraries expect.
class PixelLayout {
public:
    enum class Order { rgb, bgr, rgba };

    explicit PixelLayout(Order order) : order_(order) {}
    // "rgb", "bgr" or "rgba"; throws std::invalid_argument for any other.
    static PixelLayout named(std::string_view name);

    Order order() const { return order_; }
    int channels() const { return order_ == Order::rgba ? 4 : 3; }
    std::size_t bytesFor(int width, int height) const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
               static_cast<std::size_t>(channels());
    }

    // Writes `picture` into `out`, which holds bytesFor() its size. Alpha is the picture's own
    // where it has one, else opaque.
    void pack(const core::BgrImage& picture, std::uint8_t* out) const;

private:
    Order order_;
};

} // namespace picture
