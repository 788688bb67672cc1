#pragma once

#include "media/FfmpegPtr.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace media {

struct IndexedPacket;

// Any container FFmpeg demuxes but AVI: one of its video streams and that stream's packets.
class ContainerDemuxer {
public:
    // How far a second probe reads for a picture size the first one missed.
    static constexpr std::int64_t furtherProbeMegabytes = 60;
    static constexpr std::int64_t furtherProbeSeconds = 20;

    // The file opened by whichever demuxer recognises it; empty when none does.
    static InputContextPtr tryOpen(const std::filesystem::path& file);
    static bool isAvi(const AVFormatContext& input);

    // Throws MovieError when the stream headers are unreadable or there is no video stream
    // (numbered `videoStream` among video streams; -1: the best).
    ContainerDemuxer(const std::filesystem::path& file, InputContextPtr input,
                     int videoStream = -1);

    const std::filesystem::path& file() const { return file_; }
    AVFormatContext& context() const { return *input_; }
    AVStream& stream() const { return *stream_; }
    std::int64_t fileSize() const { return fileSize_; }
    // "mp4", "mov", "matroska", "webm", "mpegts", "mpeg", or the demuxer's own name.
    std::string containerName() const;

    // The next packet of the video stream; false at the end of the data or on a read error.
    // A palettised stream's packets all carry its palette.
    bool readPacket(AVPacket& packet);
    bool isPalettised() const;
    // How long the headers say the video lasts, in seconds; 0 when they do not say.
    double declaredSeconds() const;
    // Positions reading at or before `packet`; false when the demuxer cannot.
    bool seekTo(const IndexedPacket& packet);

private:
    // Opens the file again and reads further into it for stream `index`'s picture size; keeps
    // the first opening where that finds none either.
    void probeFurther(int index);

    std::filesystem::path file_;
    InputContextPtr input_;
    AVStream* stream_ = nullptr; // owned by input_
    std::int64_t fileSize_ = 0;
    // Demuxers hand a palette (QuickTime's sample description) only with the first packet they
    // read, which a seek may skip: kept here for every packet.
    std::vector<std::uint8_t> palette_;
};

} // namespace media
