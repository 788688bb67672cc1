#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace media {

// The composition offsets of one MP4 track (its 'ctts' table), sample by sample: what a
// sample's presentation time lies after its decode time. FFmpeg keeps them to itself until it
// reads the sample, and reading every sample is the scan the table is there to spare.
class Mp4CompositionOffsets {
public:
    // One offset a sample, zeros when the track has no table; nothing when the file holds no
    // such track or its boxes do not parse.
    static std::optional<std::vector<std::int64_t>> read(const std::filesystem::path& file,
                                                         int trackId, std::int64_t sampleCount);
};

} // namespace media
