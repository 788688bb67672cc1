#include "media/AviLayout.h"

#include <cstring>
#include <fstream>
#include <system_error>

namespace media {

namespace {

std::uint32_t littleEndian32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool readAt(std::ifstream& in, std::int64_t at, unsigned char* bytes, std::size_t count) {
    in.clear();
    in.seekg(at);
    return static_cast<bool>(
        in.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count)));
}

} // namespace

AviLayout AviLayout::read(const std::filesystem::path& file) {
    AviLayout layout;
    layout.file_ = file;
    std::error_code error;
    const auto fileSize = static_cast<std::int64_t>(std::filesystem::file_size(file, error));
    std::ifstream in(file, std::ios::binary);
    unsigned char header[12];
    if (error || !readAt(in, 0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0)
        return layout;
    const std::int64_t end = 8 + std::int64_t{littleEndian32(header + 4)};
    layout.cutShort_ = end > fileSize;
    for (std::int64_t at = sizeof header; at + 8 <= std::min(end, fileSize);) {
        unsigned char chunk[8];
        if (!readAt(in, at, chunk, sizeof chunk))
            break;
        const std::uint32_t size = littleEndian32(chunk + 4);
        if (std::memcmp(chunk, "idx1", 4) == 0) {
            layout.indexOffset_ = at + 8;
            layout.indexSize_ = size;
        }
        at += 8 + std::int64_t{size} + (size & 1);
    }
    unsigned char next[4];
    layout.extended_ =
        end < fileSize && readAt(in, end, next, sizeof next) && std::memcmp(next, "RIFF", 4) == 0;
    return layout;
}

// Each index entry is 16 bytes: the chunk id ("01dc" for stream 1) first, the size last.
int AviLayout::trailingEmptyChunks(int streamNumber) const {
    if (!hasChunkIndex())
        return 0;
    std::ifstream in(file_, std::ios::binary);
    const char id[2] = {static_cast<char>('0' + streamNumber / 10 % 10),
                        static_cast<char>('0' + streamNumber % 10)};
    constexpr std::uint32_t entrySize = 16;
    int empty = 0;
    for (std::uint32_t i = indexSize_ / entrySize; i-- > 0;) {
        unsigned char entry[entrySize];
        if (!readAt(in, indexOffset_ + std::int64_t{i} * entrySize, entry, entrySize))
            break;
        if (entry[0] != id[0] || entry[1] != id[1] || entry[2] != 'd')
            continue;
        if (littleEndian32(entry + 12) != 0)
            break;
        ++empty;
    }
    return empty;
}

} // namespace media
