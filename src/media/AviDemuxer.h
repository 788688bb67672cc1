#pragma once

#include "media/AviLayout.h"
#include "media/FfmpegPtr.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace media {

class FfmpegLog;

// The AVI file: its video stream and the packets of that stream in stored order.
class AviDemuxer {
public:
    // Throws MovieError when the file cannot be opened, is no AVI file or has no video.
    explicit AviDemuxer(const std::filesystem::path& file);

    AVFormatContext& context() const { return *input_; }
    AVStream& stream() const { return *stream_; }
    const char* formatName() const;
    std::int64_t fileSize() const { return fileSize_; }
    const AviLayout& layout() const { return layout_; }

    // The next packet of the video stream; false at the end of the data or on a read error.
    bool readPacket(AVPacket& packet);
    // Positions reading at the chunk stamped `timestamp`; false when the demuxer cannot.
    bool seek(std::int64_t timestamp);
    // The palette the stream last announced (AVPALETTE_SIZE bytes), or empty. The demuxer
    // hands it on once only, so it is kept for the packets that follow a seek.
    const std::vector<std::uint8_t>& palette() const { return palette_; }
    // Nothing has been read past the packets buffered at opening.
    bool isAtStart() const { return atStart_; }
    // Reads every packet, so that the demuxer's index covers the whole file (a file without
    // an index, or cut short). Returns the time stamp of the first chunk cut short, if any.
    std::optional<std::int64_t> scanToEnd();
    // The time stamps of the chunks whose pictures say they start a sequence (key frames), as
    // the last scanToEnd() found them in the coded data; missing where the codec's headers do
    // not tell.
    const std::optional<std::vector<std::int64_t>>& keysFound() const { return keysFound_; }
    // The demuxer's complaints go to `log` from now on.
    void reportTo(FfmpegLog& log);
    // From now on packets come stamped `shift` earlier, and seeks take such stamps.
    void shiftTimestamps(std::int64_t shift) { shift_ = shift; }

private:
    InputContextPtr input_;
    AVStream* stream_ = nullptr; // owned by input_
    std::int64_t fileSize_ = 0;
    AviLayout layout_;
    bool atStart_ = true;
    std::int64_t shift_ = 0;
    std::vector<std::uint8_t> palette_;
    std::optional<std::vector<std::int64_t>> keysFound_;
};

} // namespace media
