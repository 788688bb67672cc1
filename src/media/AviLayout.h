#pragma once

#include <cstdint>
#include <filesystem>

namespace media {

// The top-level chunks of an AVI file's first RIFF list, read past the demuxer: whether the
// file keeps an index of its own and whether it lost its end.
class AviLayout {
public:
    // Never throws: a file that is no RIFF file reads as one without index.
    static AviLayout read(const std::filesystem::path& file);

    // The RIFF header counts more bytes than the file holds.
    bool isCutShort() const { return cutShort_; }
    bool hasChunkIndex() const { return indexOffset_ >= 0; }
    // Further RIFF lists follow (files over 1 GB); their indexes live elsewhere.
    bool isExtended() const { return extended_; }

    // Zero-size chunks of stream `streamNumber` at the very end of the index: dropped frames
    // that the demuxer leaves out of its own index.
    int trailingEmptyChunks(int streamNumber) const;

private:
    std::filesystem::path file_;
    std::int64_t indexOffset_ = -1; // of the idx1 data
    std::uint32_t indexSize_ = 0;
    bool cutShort_ = false;
    bool extended_ = false;
};

} // namespace media
