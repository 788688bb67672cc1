#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// What the chunk index is built from, as the bytes of one fuzz input (little endian): the file
// size (8 bytes), the time stamp of the first damaged chunk (8; negative: none), then per entry
// of the demuxer's index its position (8), time stamp (8), size (4) and flags (4). A short tail
// is ignored.
struct IndexEntriesInput {
    struct Entry {
        std::int64_t pos = 0;
        std::int64_t timestamp = 0;
        std::int32_t size = 0;
        std::int32_t flags = 0;
    };

    std::int64_t fileSize = 0;
    std::optional<std::int64_t> firstDamaged;
    std::vector<Entry> entries;

    static IndexEntriesInput decode(const std::uint8_t* data, std::size_t size);
    std::vector<std::uint8_t> encode() const;
};
