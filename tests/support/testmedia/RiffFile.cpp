#include "support/testmedia/RiffFile.h"

#include <stdexcept>
#include <string>

namespace testmedia {

namespace {

bool isList(std::string_view id) {
    return id == "RIFF" || id == "LIST";
}

} // namespace

RiffFile::RiffFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    if (bytes_.size() < 12 || fourCc(0) != "RIFF")
        throw std::runtime_error("not a RIFF file");
    if (root().end() > bytes_.size() + 1)
        throw std::runtime_error("RIFF chunk runs past the end of the file");
}

std::string_view RiffFile::fourCc(std::size_t offset) const {
    if (offset + 4 > bytes_.size())
        throw std::runtime_error("RIFF chunk header past the end at " + std::to_string(offset));
    return {reinterpret_cast<const char*>(bytes_.data() + offset), 4};
}

std::uint32_t RiffFile::read32(std::size_t offset) const {
    if (offset + 4 > bytes_.size())
        throw std::runtime_error("read past the end at " + std::to_string(offset));
    const std::uint8_t* p = bytes_.data() + offset;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void RiffFile::write32(std::size_t offset, std::uint32_t value) {
    if (offset + 4 > bytes_.size())
        throw std::runtime_error("write past the end at " + std::to_string(offset));
    for (int i = 0; i < 4; ++i)
        bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

RiffFile::Chunk RiffFile::chunkAt(std::size_t offset) const {
    Chunk chunk;
    chunk.offset = offset;
    chunk.id = fourCc(offset);
    chunk.size = read32(offset + 4);
    if (isList(chunk.id))
        chunk.listType = fourCc(offset + 8);
    return chunk;
}

std::vector<RiffFile::Chunk> RiffFile::children(const Chunk& list) const {
    if (!isList(list.id))
        throw std::logic_error("only RIFF and LIST chunks have children");
    std::vector<Chunk> chunks;
    const std::size_t end = list.dataOffset() + list.size;
    for (std::size_t offset = list.dataOffset() + 4; offset + 8 <= end;) {
        const Chunk chunk = chunkAt(offset);
        if (chunk.dataOffset() + chunk.size > end)
            throw std::runtime_error("chunk " + std::string(chunk.id) + " at " +
                                     std::to_string(offset) + " overruns its list");
        chunks.push_back(chunk);
        offset = chunk.end();
    }
    return chunks;
}

std::optional<RiffFile::Chunk> RiffFile::find(const Chunk& list, std::string_view id,
                                              std::string_view listType) const {
    for (const Chunk& chunk : children(list))
        if (chunk.id == id && (listType.empty() || chunk.listType == listType))
            return chunk;
    return std::nullopt;
}

RiffFile::Chunk RiffFile::require(const Chunk& list, std::string_view id,
                                  std::string_view listType) const {
    const std::optional<Chunk> chunk = find(list, id, listType);
    if (!chunk)
        throw std::runtime_error("no " + std::string(listType.empty() ? id : listType) +
                                 " chunk in " + std::string(list.listType));
    return *chunk;
}

void RiffFile::erase(const Chunk& chunk) {
    // Every list whose data spans the chunk shrinks: the chain from the root down.
    std::vector<Chunk> holders{root()};
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (const Chunk& child : children(holders.back()))
            if (isList(child.id) && child.offset < chunk.offset && chunk.offset < child.end()) {
                holders.push_back(child);
                deeper = true;
                break;
            }
    }
    const auto removed = static_cast<std::uint32_t>(chunk.end() - chunk.offset);
    for (const Chunk& list : holders)
        write32(list.offset + 4, list.size - removed);
    bytes_.erase(bytes_.begin() + static_cast<std::ptrdiff_t>(chunk.offset),
                 bytes_.begin() + static_cast<std::ptrdiff_t>(chunk.end()));
}

} // namespace testmedia
