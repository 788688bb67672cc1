#include "support/testmedia/PackedBFrames.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>

namespace testmedia {

namespace {

constexpr std::array<std::uint8_t, 4> vopStart{0, 0, 1, 0xB6};

std::size_t findVop(const std::vector<std::uint8_t>& bytes) {
    const auto found = std::search(bytes.begin(), bytes.end(), vopStart.begin(), vopStart.end());
    if (found == bytes.end() || found + 4 == bytes.end())
        throw std::runtime_error("coded picture without a VOP header");
    return static_cast<std::size_t>(found - bytes.begin());
}

// The coding type is the first two bits after the start code: 0 I, 1 P, 2 B.
bool isBFrame(const CodedPicture& picture) {
    return picture.bytes[findVop(picture.bytes) + 4] >> 6 == 2;
}

// The VOP header's time within its second (vop_time_increment).
int timeIncrementOf(const CodedPicture& picture, int timeIncrementBits) {
    const std::size_t start = (findVop(picture.bytes) + 4) * 8;
    const auto bit = [&](std::size_t at) {
        if (at / 8 >= picture.bytes.size())
            throw std::runtime_error("VOP header cut short");
        return picture.bytes[at / 8] >> (7 - at % 8) & 1;
    };
    std::size_t at = start + 2; // past the coding type
    while (bit(at) != 0)        // modulo_time_base: a one for each second passed
        ++at;
    at += 2; // its closing zero and a marker
    int increment = 0;
    for (int i = 0; i < timeIncrementBits; ++i)
        increment = increment << 1 | bit(at++);
    return increment;
}

// A P-VOP header with vop_coded 0: the decoder shows `reference` again. It carries the time of
// the reference, so a decoder that reads it keeps its picture distances right.
CodedPicture notCoded(const CodedPicture& reference, int timeIncrementBits) {
    const int increment = timeIncrementOf(reference, timeIncrementBits);
    std::vector<bool> bits{false, true, false, true}; // P, modulo time base 0, marker
    for (int i = timeIncrementBits - 1; i >= 0; --i)
        bits.push_back((increment >> i & 1) != 0);
    bits.insert(bits.end(), {true, false}); // marker, vop_coded
    bits.push_back(false);                  // stuffing: a zero, then ones to the byte
    while (bits.size() % 8 != 0)
        bits.push_back(true);
    CodedPicture picture{{vopStart.begin(), vopStart.end()}, false};
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        std::uint8_t byte = 0;
        for (std::size_t j = 0; j < 8; ++j)
            byte = static_cast<std::uint8_t>(byte << 1 | (bits[i + j] ? 1 : 0));
        picture.bytes.push_back(byte);
    }
    return picture;
}

// The user data by which decoders know packed B-frames (the trailing "p").
void announcePacking(CodedPicture& first) {
    static constexpr char userData[] = "\x00\x00\x01\xB2"
                                       "DivX503b1393p";
    const auto at = first.bytes.begin() + static_cast<std::ptrdiff_t>(findVop(first.bytes));
    first.bytes.insert(at, userData, userData + sizeof userData - 1);
}

} // namespace

std::vector<CodedPicture> packBFrames(const std::vector<CodedPicture>& decodeOrder,
                                      int timeIncrementBits) {
    std::vector<CodedPicture> chunks;
    for (std::size_t i = 0; i < decodeOrder.size();) {
        CodedPicture chunk = decodeOrder[i++];
        if (isBFrame(chunk))
            throw std::runtime_error("a B-frame before any reference picture");
        std::size_t bFrames = 0;
        while (i + bFrames < decodeOrder.size() && isBFrame(decodeOrder[i + bFrames]))
            ++bFrames;
        if (bFrames == 0) {
            chunks.push_back(std::move(chunk));
            continue;
        }
        CodedPicture placeholder = notCoded(chunk, timeIncrementBits);
        const std::vector<std::uint8_t>& first = decodeOrder[i].bytes;
        chunk.bytes.insert(chunk.bytes.end(), first.begin(), first.end());
        chunks.push_back(std::move(chunk));
        for (std::size_t b = 1; b < bFrames; ++b)
            chunks.push_back(decodeOrder[i + b]);
        chunks.push_back(std::move(placeholder));
        i += bFrames;
    }
    if (!chunks.empty())
        announcePacking(chunks.front());
    return chunks;
}

} // namespace testmedia
