#include "media/MoviChunks.h"

#include <array>
#include <cstring>
#include <fstream>
#include <string>

namespace media {

namespace {

struct Header {
    std::array<char, 4> id{};
    std::uint32_t size = 0;
};

std::optional<Header> readHeader(std::ifstream& in, std::int64_t at) {
    std::array<unsigned char, 8> bytes{};
    in.seekg(at);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), bytes.size()))
        return std::nullopt;
    Header header;
    std::memcpy(header.id.data(), bytes.data(), 4);
    header.size = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (std::uint32_t{bytes[7]} << 24);
    return header;
}

std::string fourCc(std::ifstream& in, std::int64_t at) {
    std::array<char, 4> id{};
    in.seekg(at);
    in.read(id.data(), id.size());
    return in ? std::string(id.data(), id.size()) : std::string();
}

bool isVideoChunk(const Header& header, int streamNumber) {
    const char tens = static_cast<char>('0' + streamNumber / 10);
    const char ones = static_cast<char>('0' + streamNumber % 10);
    return header.id[0] == tens && header.id[1] == ones && header.id[2] == 'd' &&
           (header.id[3] == 'c' || header.id[3] == 'b');
}

// Record lists sit right inside the movi list. Lists nested deeper are no movie data, and
// followed down they would exhaust the stack: a small file holds a hundred thousand of them.
constexpr int deepestList = 8;

// Walks the chunks between `from` and `to`, descending into record lists.
bool walk(std::ifstream& in, std::int64_t from, std::int64_t to, int streamNumber,
          std::vector<MoviChunks::Chunk>& chunks, int depth = 0) {
    if (depth > deepestList)
        return false;
    for (std::int64_t at = from; at + 8 <= to;) {
        const std::optional<Header> header = readHeader(in, at);
        if (!header)
            return false;
        const std::int64_t end = at + 8 + header->size + (header->size & 1);
        if (end > to)
            return false;
        if (std::memcmp(header->id.data(), "LIST", 4) == 0) {
            if (!walk(in, at + 12, end, streamNumber, chunks, depth + 1))
                return false;
        } else if (isVideoChunk(*header, streamNumber)) {
            chunks.push_back({at, header->size});
        }
        at = end;
    }
    return true;
}

} // namespace

bool MoviChunks::isThere(const std::filesystem::path& file, int streamNumber, const Chunk& chunk) {
    std::ifstream in(file, std::ios::binary);
    const std::optional<Header> header = readHeader(in, chunk.pos);
    return header && isVideoChunk(*header, streamNumber) && header->size == chunk.size;
}

std::optional<std::vector<MoviChunks::Chunk>>
MoviChunks::ofStream(const std::filesystem::path& file, int streamNumber) {
    if (streamNumber < 0 || streamNumber > 99)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    const std::optional<Header> riff = readHeader(in, 0);
    if (!riff || std::memcmp(riff->id.data(), "RIFF", 4) != 0)
        return std::nullopt;
    const std::int64_t riffEnd = 8 + static_cast<std::int64_t>(riff->size);
    for (std::int64_t at = 12; at + 12 <= riffEnd;) {
        const std::optional<Header> header = readHeader(in, at);
        if (!header)
            return std::nullopt;
        const std::int64_t end = at + 8 + header->size + (header->size & 1);
        if (std::memcmp(header->id.data(), "LIST", 4) == 0 && fourCc(in, at + 8) == "movi") {
            std::vector<Chunk> chunks;
            if (!walk(in, at + 12, end, streamNumber, chunks))
                return std::nullopt;
            return chunks;
        }
        at = end;
    }
    return std::nullopt;
}

} // namespace media
