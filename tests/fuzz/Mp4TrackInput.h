#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// What the composition offsets of a track are read with, as the bytes of one fuzz input: the
// sample count the demuxer found (2 bytes, big endian, as the file's own numbers), the track's id
// (1 byte), then the MP4 file. The count stays small, as it does for a file of this size.
struct Mp4TrackInput {
    int trackId = 1;
    std::int64_t sampleCount = 0;
    std::span<const std::uint8_t> file;

    static Mp4TrackInput decode(const std::uint8_t* data, std::size_t size);
    static std::vector<std::uint8_t> encode(int trackId, std::int64_t sampleCount,
                                            const std::vector<std::uint8_t>& file);
};
