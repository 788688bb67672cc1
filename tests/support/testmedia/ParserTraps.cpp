#include "support/testmedia/ParserTraps.h"

#include <string_view>

namespace testmedia {

namespace {

void append(std::vector<std::uint8_t>& bytes, std::string_view fourCc) {
    bytes.insert(bytes.end(), fourCc.begin(), fourCc.end());
}

void appendLittle32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i, value >>= 8)
        bytes.push_back(static_cast<std::uint8_t>(value));
}

void appendBig(std::vector<std::uint8_t>& bytes, std::uint64_t value, int count) {
    for (int i = count; i-- > 0;)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> nestedListsAvi(int levels) {
    constexpr std::uint32_t listHeader = 12;
    constexpr std::uint32_t chunk = 12; // "00dc", its size, 4 bytes of data
    std::vector<std::uint8_t> bytes;
    append(bytes, "RIFF");
    appendLittle32(bytes, 4 + listHeader * (levels + 1) + chunk);
    append(bytes, "AVI ");
    for (int level = 0; level <= levels; ++level) {
        append(bytes, "LIST");
        appendLittle32(bytes, 4 + listHeader * (levels - level) + chunk);
        append(bytes, level == 0 ? "movi" : "rec ");
    }
    append(bytes, "00dc");
    appendLittle32(bytes, 4);
    append(bytes, "data");
    return bytes;
}

std::vector<std::uint8_t> mp4BoxLeadingBack() {
    std::vector<std::uint8_t> bytes;
    appendBig(bytes, 16, 4); // an ordinary box of 16 bytes
    append(bytes, "free");
    appendBig(bytes, 0, 8);
    appendBig(bytes, 1, 4); // the size follows in 64 bits
    append(bytes, "free");
    appendBig(bytes, ~std::uint64_t{15}, 8); // read as a signed offset: 32 bytes back
    return bytes;
}

} // namespace testmedia
