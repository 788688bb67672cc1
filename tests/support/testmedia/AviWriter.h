#pragma once

#include "support/testmedia/EncoderSettings.h"
#include "support/testmedia/Ffmpeg.h"
#include "support/testmedia/PackedBFrames.h"

#include <cstdint>
#include <filesystem>

namespace testmedia {

class BgrImage;

// Opens the encoder of `settings`; throws std::runtime_error saying why it would not open.
CodecContextPtr openEncoder(const EncoderSettings& settings);

// Encodes pictures into an AVI file, one chunk a frame in decode order; stream time base
// 1/fps, so a frame's number is its time stamp.
class AviWriter {
public:
    AviWriter(std::filesystem::path file, const EncoderSettings& settings);
    // Removes the file unless finish() completed it.
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    void writePicture(const BgrImage& picture, int frameNumber);
    // A zero-size chunk for a frame with no picture. Only after all earlier frames are out of
    // the encoder, which holds for intra-only encoders.
    void writeEmptyChunk(int frameNumber);
    // Drains the encoder and writes the index and the final headers.
    void finish();

private:
    void fillFrame(const BgrImage& picture);
    void encode(const AVFrame* frame);
    void mux(AVPacket* packet);
    void writePackedChunks();
    [[noreturn]] void fail(const std::string& what, int code) const;

    std::filesystem::path file_;
    CodecContextPtr encoder_;
    OutputContextPtr muxer_;
    AVStream* stream_ = nullptr; // owned by muxer_
    FramePtr frame_;
    PacketPtr packet_;
    ScalerPtr scaler_;
    std::int64_t nextDts_ = 0;
    bool bottomUp_ = false;
    bool packed_ = false;
    std::vector<CodedPicture> coded_; // in decode order, for packing at the end
    bool created_ = false;
    bool finished_ = false;
};

} // namespace testmedia
