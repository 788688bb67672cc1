#include "core/BmpWriter.h"

#include "core/AtomicFile.h"
#include "core/BgrImage.h"
#include "core/Error.h"

#include <limits>
#include <span>
#include <string>

namespace core {

namespace {

constexpr std::uint32_t fileHeaderSize = 14;
constexpr std::uint32_t infoHeaderSize = 40;
constexpr std::uint32_t paletteEntrySize = 4;

class ByteSink {
public:
    explicit ByteSink(std::vector<std::uint8_t>& out) : out_(out) {}
    void u16(std::uint32_t value) {
        out_.push_back(static_cast<std::uint8_t>(value));
        out_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }

private:
    std::vector<std::uint8_t>& out_;
};

std::uint64_t checkedImageSize(const BgrImage& image) {
    if (image.width < 0 || image.height < 0 ||
        image.width > (std::numeric_limits<int>::max() - 3) / 3)
        throw Error("cannot encode a picture of " + std::to_string(image.width) + " x " +
                    std::to_string(image.height) + " pixels");
    const std::uint64_t size =
        static_cast<std::uint64_t>(image.stride()) * static_cast<std::uint64_t>(image.height);
    if (image.bytes.size() < size)
        throw Error("picture data is shorter than its size says");
    return size;
}

void appendRowsBottomFirst(std::vector<std::uint8_t>& out, const BgrImage& image) {
    const std::size_t stride = static_cast<std::size_t>(image.stride());
    const std::size_t pixelBytes = static_cast<std::size_t>(image.width) * 3;
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.row(y);
        out.insert(out.end(), row, row + pixelBytes);
        out.insert(out.end(), stride - pixelBytes, 0);
    }
}

// The headers and the colour table: everything before the rows.
std::vector<std::uint8_t> encodeHeaders(const BgrImage& image) {
    const std::uint64_t imageSize = checkedImageSize(image);
    const std::uint64_t tableSize =
        static_cast<std::uint64_t>(image.palette.size()) * paletteEntrySize;
    const std::uint64_t dataOffset = fileHeaderSize + infoHeaderSize + tableSize;
    const std::uint64_t fileSize = dataOffset + imageSize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max())
        throw Error("picture too large for a bitmap file");

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(dataOffset));
    ByteSink sink(out);
    sink.u16(0x4D42); // "BM"
    sink.u32(static_cast<std::uint32_t>(fileSize));
    sink.u32(0); // two reserved words
    sink.u32(static_cast<std::uint32_t>(dataOffset));
    sink.u32(infoHeaderSize);
    sink.u32(static_cast<std::uint32_t>(image.width));
    sink.u32(static_cast<std::uint32_t>(image.height)); // positive: bottom row first
    sink.u16(1);                                        // planes
    sink.u16(24);                                       // bits per pixel
    sink.u32(0);                                        // no compression
    sink.u32(static_cast<std::uint32_t>(imageSize));
    sink.u32(0); // horizontal resolution
    sink.u32(0); // vertical resolution
    sink.u32(static_cast<std::uint32_t>(image.palette.size()));
    sink.u32(0); // important colours
    for (const std::uint32_t colour : image.palette)
        sink.u32(colour & 0x00FFFFFF); // 0x00RRGGBB is stored blue, green, red, 0
    return out;
}

} // namespace

std::vector<std::uint8_t> encodeBmp(const BgrImage& image) {
    std::vector<std::uint8_t> out = encodeHeaders(image);
    out.reserve(out.size() + static_cast<std::size_t>(checkedImageSize(image)));
    appendRowsBottomFirst(out, image);
    return out;
}

// The rows go to the file straight from the picture: a copy of a large picture costs as much
// as writing it.
void writeBmpFile(const std::filesystem::path& path, const BgrImage& image) {
    static constexpr std::uint8_t zeros[3] = {};
    const std::vector<std::uint8_t> headers = encodeHeaders(image);
    if (image.bottomFirst) {
        const std::span<const std::uint8_t> pieces[] = {
            headers, {image.bytes.data(), static_cast<std::size_t>(checkedImageSize(image))}};
        writeFileAtomically(path, pieces, Durability::cached);
        return;
    }
    const std::size_t pixelBytes = static_cast<std::size_t>(image.width) * 3;
    const std::size_t padding = static_cast<std::size_t>(image.stride()) - pixelBytes;
    std::vector<std::span<const std::uint8_t>> pieces;
    pieces.reserve(1 + static_cast<std::size_t>(image.height) * 2);
    pieces.emplace_back(headers);
    for (int y = image.height - 1; y >= 0; --y) {
        pieces.emplace_back(image.row(y), pixelBytes);
        if (padding > 0)
            pieces.emplace_back(zeros, padding);
    }
    writeFileAtomically(path, pieces, Durability::cached);
}

} // namespace core
