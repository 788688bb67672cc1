#pragma once

// A RIFF file in memory, walked chunk by chunk, for making broken copies of good movies.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace testmedia {

class RiffFile {
public:
    struct Chunk {
        std::size_t offset = 0; // of the chunk header
        std::uint32_t size = 0; // of the data, without the pad byte
        std::string_view id;
        std::string_view listType; // RIFF and LIST chunks only

        std::size_t dataOffset() const { return offset + 8; }
        std::size_t end() const { return dataOffset() + size + (size & 1); }
    };

    // Throws std::runtime_error when the bytes are not a well-formed RIFF file.
    explicit RiffFile(std::vector<std::uint8_t> bytes);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    Chunk root() const { return chunkAt(0); }
    std::vector<Chunk> children(const Chunk& list) const;
    // The first child with this id (and list type, for LIST chunks).
    std::optional<Chunk> find(const Chunk& list, std::string_view id,
                              std::string_view listType = {}) const;
    Chunk require(const Chunk& list, std::string_view id, std::string_view listType = {}) const;

    std::uint32_t read32(std::size_t offset) const;
    void write32(std::size_t offset, std::uint32_t value);
    // Removes a chunk and shrinks the sizes of the lists holding it.
    void erase(const Chunk& chunk);
    void truncate(std::size_t size) { bytes_.resize(size); }

private:
    Chunk chunkAt(std::size_t offset) const;
    std::string_view fourCc(std::size_t offset) const;

    std::vector<std::uint8_t> bytes_;
};

} // namespace testmedia
