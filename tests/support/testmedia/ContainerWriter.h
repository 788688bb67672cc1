#pragma once

#include "support/testmedia/EncoderSettings.h"
#include "support/testmedia/Ffmpeg.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testmedia {

class BgrImage;

// How a movie is stored: FFmpeg's muxer and its options.
struct ContainerSettings {
    std::string muxer; // "mp4", "matroska", "mpegts" …
    std::vector<std::pair<std::string, std::string>> muxerOptions; // e.g. movflags
    std::optional<std::array<std::int32_t, 9>> displayMatrix;      // the stream's, if any
    std::string bitstreamFilter; // FFmpeg's filter chain for the coded packets, if any
};

// Encodes pictures into any container FFmpeg muxes. Pictures are converted with the colour
// matrix and range the encoder declares (its "colorspace" and "color_range" options), so a
// decoder that honours them gets the source colours back.
class ContainerWriter {
public:
    // firstPassStats: what a first pass (encoder flag "+pass1", muxer "null") left in
    // firstPassStats(), for encoders that plan their hidden reference pictures from it.
    ContainerWriter(std::filesystem::path file, const EncoderSettings& encoder,
                    const ContainerSettings& container, const std::string& firstPassStats = {});
    // Removes the file unless finish() completed it.
    ~ContainerWriter();
    ContainerWriter(const ContainerWriter&) = delete;
    ContainerWriter& operator=(const ContainerWriter&) = delete;

    // pts in frames (1/fps); may be negative or far from zero.
    void writePicture(const BgrImage& picture, std::int64_t pts);
    void finish();
    std::string firstPassStats() const;

private:
    void openEncoder(const EncoderSettings& encoder, const std::string& stats);
    void openMuxer(const ContainerSettings& container);
    void prepareScaler();
    void encode(const AVFrame* frame);
    void openFilter(const std::string& chain);
    void writePacket(AVPacket* packet);
    void mux(AVPacket& packet);
    [[noreturn]] void fail(const std::string& what, int code) const;

    std::filesystem::path file_;
    std::string stats_; // the encoder reads it, never frees it: it must outlive the encoder
    CodecContextPtr encoder_;
    OutputContextPtr muxer_;
    AVStream* stream_ = nullptr; // owned by muxer_
    BitstreamFilterPtr filter_;
    FramePtr frame_;
    PacketPtr packet_;
    ScalerPtr scaler_;
    bool created_ = false;
    bool finished_ = false;
};

} // namespace testmedia
