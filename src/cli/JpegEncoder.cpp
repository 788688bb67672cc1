#include "cli/JpegEncoder.h"

#include "cli/ExtractError.h"
#include "core/BgrImage.h"

#include <cstring>
#include <memory>
#include <numeric>
#include <turbojpeg.h>

namespace cli {

namespace {

struct CompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct BufferDeleter {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

// The JFIF header the library writes first: "JFIF\0", version, then units and the densities.
constexpr std::size_t jfifId = 6;
constexpr std::size_t jfifUnits = 13;
constexpr std::size_t jfifXDensity = 14;
constexpr std::size_t jfifYDensity = 16;

// Densities count pixels per unit, so wide pixels have the lower horizontal density: a pixel
// of width:height 2:1 is written as densities 1:2, with no unit.
void writeDensities(std::vector<std::uint8_t>& file, int aspectNum, int aspectDen) {
    if (file.size() < jfifYDensity + 2 || std::memcmp(&file[jfifId], "JFIF", 5) != 0)
        throw ExtractError("the JPEG encoder wrote no JFIF header");
    long long x = aspectDen > 0 ? aspectDen : 1;
    long long y = aspectNum > 0 ? aspectNum : 1;
    const long long common = std::gcd(x, y);
    x /= common;
    y /= common;
    while (x > 0xFFFF || y > 0xFFFF) { // approximate what the 16-bit fields cannot hold
        x = (x + 1) / 2;
        y = (y + 1) / 2;
    }
    file[jfifUnits] = 0;
    file[jfifXDensity] = static_cast<std::uint8_t>(x >> 8);
    file[jfifXDensity + 1] = static_cast<std::uint8_t>(x);
    file[jfifYDensity] = static_cast<std::uint8_t>(y >> 8);
    file[jfifYDensity + 1] = static_cast<std::uint8_t>(y);
}

} // namespace

std::vector<std::uint8_t> encodeJpeg(const core::BgrImage& image, const JpegOptions& options) {
    const std::unique_ptr<void, CompressorDeleter> compressor(tjInitCompress());
    if (!compressor)
        throw ExtractError(std::string("cannot start the JPEG encoder: ") +
                           tjGetErrorStr2(nullptr));
    unsigned char* output = nullptr;
    unsigned long size = 0;
    const int subsampling = options.quality >= 100 ? TJSAMP_444 : TJSAMP_420;
    const int result = tjCompress2(
        compressor.get(), image.bytes.data(), image.width, image.stride(), image.height, TJPF_BGR,
        &output, &size, subsampling, options.quality, image.bottomFirst ? TJFLAG_BOTTOMUP : 0);
    const std::unique_ptr<unsigned char, BufferDeleter> owned(output);
    if (result != 0)
        throw ExtractError(std::string("cannot encode the JPEG file: ") +
                           tjGetErrorStr2(compressor.get()));
    std::vector<std::uint8_t> file(output, output + size);
    writeDensities(file, image.sampleAspect.num, image.sampleAspect.den);
    return file;
}

} // namespace cli
