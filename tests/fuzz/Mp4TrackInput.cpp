#include "Mp4TrackInput.h"

#include <stdexcept>

namespace {

constexpr std::size_t prefixSize = 3;

} // namespace

Mp4TrackInput Mp4TrackInput::decode(const std::uint8_t* data, std::size_t size) {
    Mp4TrackInput input;
    if (size < prefixSize)
        return input;
    input.sampleCount = data[0] << 8 | data[1];
    input.trackId = data[2];
    input.file = std::span(data + prefixSize, size - prefixSize);
    return input;
}

std::vector<std::uint8_t> Mp4TrackInput::encode(int trackId, std::int64_t sampleCount,
                                                const std::vector<std::uint8_t>& file) {
    if (trackId < 0 || trackId > 0xFF || sampleCount < 0 || sampleCount > 0xFFFF)
        throw std::invalid_argument("a track id or sample count too large for the fuzz input");
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(sampleCount >> 8),
                                    static_cast<std::uint8_t>(sampleCount),
                                    static_cast<std::uint8_t>(trackId)};
    bytes.insert(bytes.end(), file.begin(), file.end());
    return bytes;
}
