// The input is a size as typed on the command line.

#include "FuzzCheck.h"
#include "core/SizeRequest.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace {

struct Picture {
    int width;
    int height;
    core::PixelShape shape;
};

// Pictures at the edges of what a movie gives: tiny, wide pixels, tall pixels, huge.
constexpr Picture pictures[] = {{1, 1, {1, 1}},    {720, 480, {8, 9}},     {1, 2, {8, 1}},
                                {2, 1, {1, 8}},    {16384, 16384, {1, 1}}, {65535, 3, {8, 1}},
                                {3, 65535, {1, 8}}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    core::SizeRequest request;
    try {
        request = core::SizeRequest::parse(text);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    for (const Picture& picture : pictures) {
        const core::PixelShape::Size resized =
            request.resolve(picture.width, picture.height, picture.shape);
        fuzzCheck(resized.width >= 1 && resized.height >= 1, "a picture keeps a pixel");
        const core::PixelShape shape =
            request.shapeAfter(picture.width, picture.height, picture.shape);
        fuzzCheck(shape.num > 0 && shape.den > 0, "pixels keep a shape");
    }
    return 0;
}
