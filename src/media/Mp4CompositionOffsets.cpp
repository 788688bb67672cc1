#include "media/Mp4CompositionOffsets.h"

#include <algorithm>
#include <fstream>
#include <string_view>
#include <system_error>

namespace media {

namespace {

// A box's payload inside a buffer.
struct Box {
    std::string_view type;
    std::size_t begin = 0;
    std::size_t end = 0;
};

std::uint32_t be32(const std::vector<char>& bytes, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

std::uint64_t be64(const std::vector<char>& bytes, std::size_t at) {
    return (std::uint64_t{be32(bytes, at)} << 32) | be32(bytes, at + 4);
}

// The children of the box spanning [begin, end); stops at the first that does not fit.
std::vector<Box> childrenOf(const std::vector<char>& bytes, std::size_t begin, std::size_t end) {
    std::vector<Box> boxes;
    std::size_t at = begin;
    while (at + 8 <= end) {
        std::uint64_t size = be32(bytes, at);
        std::size_t header = 8;
        if (size == 1) {
            if (at + 16 > end)
                break;
            size = be64(bytes, at + 8);
            header = 16;
        } else if (size == 0) {
            size = end - at;
        }
        if (size < header || size > end - at)
            break;
        boxes.push_back({std::string_view(bytes.data() + at + 4, 4), at + header,
                         at + static_cast<std::size_t>(size)});
        at += static_cast<std::size_t>(size);
    }
    return boxes;
}

std::optional<Box> childOf(const std::vector<char>& bytes, const Box& parent,
                           std::string_view type) {
    for (const Box& box : childrenOf(bytes, parent.begin, parent.end))
        if (box.type == type)
            return box;
    return std::nullopt;
}

// The 'moov' box of the file, read whole; the boxes before it are skipped by their sizes.
std::optional<std::vector<char>> readMovieBox(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(file, error);
    if (error)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::vector<char> header(16);
    while (in.read(header.data(), 8)) {
        std::uint64_t size = be32(header, 0);
        std::uint64_t headerSize = 8;
        if (size == 1) {
            if (!in.read(header.data() + 8, 8))
                return std::nullopt;
            size = be64(header, 8);
            headerSize = 16;
        }
        const std::string_view type(header.data() + 4, 4);
        if (size == 0 || size < headerSize)
            return std::nullopt;
        // A box reaching past the end of the file is a damaged (or cut) one, and no box follows
        // it; skipped by its size, it could even lead back to an earlier box, for ever.
        const auto at = static_cast<std::uint64_t>(in.tellg());
        if (size - headerSize > fileSize - std::min<std::uint64_t>(at, fileSize))
            return std::nullopt;
        if (type == "moov") {
            std::vector<char> box(static_cast<std::size_t>(size - headerSize));
            if (!in.read(box.data(), static_cast<std::streamsize>(box.size())))
                return std::nullopt;
            return box;
        }
        in.seekg(static_cast<std::streamoff>(size - headerSize), std::ios::cur);
    }
    return std::nullopt;
}

std::optional<int> trackIdOf(const std::vector<char>& bytes, const Box& track) {
    const std::optional<Box> header = childOf(bytes, track, "tkhd");
    if (!header || header->end - header->begin < 24)
        return std::nullopt;
    const bool version1 = bytes[header->begin] == 1;
    const std::size_t at = header->begin + (version1 ? 20 : 12);
    if (at + 4 > header->end)
        return std::nullopt;
    return static_cast<int>(be32(bytes, at));
}

std::optional<std::vector<std::int64_t>> offsetsOf(const std::vector<char>& bytes, const Box& table,
                                                   std::int64_t sampleCount) {
    if (table.end - table.begin < 8)
        return std::nullopt;
    const std::uint32_t entries = be32(bytes, table.begin + 4);
    if (entries > (table.end - table.begin - 8) / 8)
        return std::nullopt;
    std::vector<std::int64_t> offsets;
    offsets.reserve(static_cast<std::size_t>(sampleCount));
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t at = table.begin + 8 + std::size_t{i} * 8;
        const std::uint32_t count = be32(bytes, at);
        // Version 0 says unsigned, but writers store negative offsets there too.
        const auto offset = static_cast<std::int32_t>(be32(bytes, at + 4));
        if (count > static_cast<std::uint64_t>(sampleCount) - offsets.size())
            return std::nullopt;
        offsets.insert(offsets.end(), count, offset);
    }
    if (static_cast<std::int64_t>(offsets.size()) != sampleCount)
        return std::nullopt;
    return offsets;
}

} // namespace

std::optional<std::vector<std::int64_t>>
Mp4CompositionOffsets::read(const std::filesystem::path& file, int trackId,
                            std::int64_t sampleCount) {
    const std::optional<std::vector<char>> movie = readMovieBox(file);
    if (!movie || sampleCount <= 0)
        return std::nullopt;
    for (const Box& track : childrenOf(*movie, 0, movie->size())) {
        if (track.type != "trak" || trackIdOf(*movie, track) != trackId)
            continue;
        std::optional<Box> box = childOf(*movie, track, "mdia");
        for (const std::string_view type : {"minf", "stbl"})
            if (box)
                box = childOf(*movie, *box, type);
        if (!box)
            return std::nullopt;
        if (const std::optional<Box> table = childOf(*movie, *box, "ctts"))
            return offsetsOf(*movie, *table, sampleCount);
        return std::vector<std::int64_t>(static_cast<std::size_t>(sampleCount), 0);
    }
    return std::nullopt;
}

} // namespace media
