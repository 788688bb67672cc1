#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace media {

// The video chunks of one stream of an AVI file, found by walking its movi list (record lists
// included) rather than through the index, for checking an index that may be damaged.
class MoviChunks {
public:
    struct Chunk {
        std::int64_t pos = 0; // of the chunk header
        std::uint32_t size = 0;
    };

    // Nullopt when the list cannot be walked to its end.
    static std::optional<std::vector<Chunk>> ofStream(const std::filesystem::path& file,
                                                      int streamNumber);
    // Whether a header naming a video chunk of the stream, of `chunk.size` bytes, lies at
    // `chunk.pos`.
    static bool isThere(const std::filesystem::path& file, int streamNumber, const Chunk& chunk);
};

} // namespace media
