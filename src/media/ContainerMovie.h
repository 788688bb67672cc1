#pragma once

#include "core/BgrImage.h"
#include "media/ContainerDemuxer.h"
#include "media/Deinterlacer.h"
#include "media/FfmpegLog.h"
#include "media/FrameConverter.h"
#include "media/FrameIndex.h"
#include "media/FrameRecord.h"
#include "media/FrameSource.h"
#include "media/MovieOptions.h"
#include "media/VideoDecoder.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace media {

class MovieError;

// A movie in any container but AVI. Frame n is the n-th picture shown, in presentation order;
// the frame index comes from the container's tables or one pass over its packets, and a fetch
// seeks to the key frame the picture decodes from and decodes forward.
class ContainerMovie final : public FrameSource {
public:
    // Throws MovieError. `index`: this file's, from another reader of it; built when null.
    ContainerMovie(const std::filesystem::path& file, InputContextPtr input,
                   const MovieOptions& options, std::shared_ptr<const FrameIndex> index = nullptr);

    int frameCount() const override { return index_.frameCount(); }
    int width() const override { return width_; }
    int height() const override { return height_; }
    double frameRate() const override { return frameRate_; }
    const std::filesystem::path& file() const override { return file_; }
    std::string containerName() const override { return demuxer_.containerName(); }
    bool isPalettised() const override { return demuxer_.isPalettised(); }
    PictureColour colour() const override;
    std::string codecName() const override;
    int claimedFrameCount() const override { return claimedFrames_; }
    bool isTruncated() const override { return index_.isCutShort(); }
    int repairedTimeStamps() const override { return index_.repairedStamps(); }
    int lostStretches() const override { return index_.lostStretches(); }
    std::vector<FrameRecord> frameTable() const override;

    PictureOrientation orientation() const override { return decoder_.orientation(); }
    core::PixelShape sampleAspect() const override { return sampleAspect_; }
    void frameInto(int n, core::BgrImage& out) override;
    void changeOptions(const MovieOptions& options) override;
    std::uint64_t complaints() const override { return log_.complaints(); }
    bool complainedSince(std::uint64_t mark) override;
    bool decodesOnFrameThreads() const override;
    std::shared_ptr<const FrameIndex> sharedIndex() const override { return shared_; }

private:
    struct Picture {
        FramePtr frame;
        int number = -1;
        bool valid = false;
    };
    enum class Outcome { Found, Missing };

    static PacketList listPackets(ContainerDemuxer& demuxer, bool intraOnly);
    const AVFrame& fetch(int n);
    const AVFrame& fetchSteadily(int n);
    const AVFrame& shown(int n, const AVFrame& picture);
    const AVFrame* neighbour(int n);
    bool dropFrameThreads();
    int decoderThreads() const;
    bool canDecodeForward(int n, int key) const;
    void seekTo(int key);
    void seekEarlier();
    Outcome decodeUntil(int n);
    bool pull(Picture& into);
    void feed();
    int positionOf(const AVPacket& packet) const;
    int numberOf(const AVFrame& frame) const;
    MovieError failure(int n) const;
    MovieError damaged(int n) const;
    MovieError outOfRange(int n) const;

    std::filesystem::path file_;
    MovieOptions options_;
    mutable FfmpegLog log_; // before the contexts that report to it; taken from when failing
    ContainerDemuxer demuxer_;
    VideoDecoder decoder_;
    std::shared_ptr<const FrameIndex> shared_;
    const FrameIndex& index_; // *shared_
    FrameConverter converter_;
    Deinterlacer deinterlacer_;
    PacketPtr packet_;
    int width_ = 0;
    int height_ = 0;
    double frameRate_ = 0.0;
    core::PixelShape sampleAspect_;
    int claimedFrames_ = 0;
    bool intraOnly_ = false;
    bool oneThread_ = false; // the decoder complained: frame threads would make results vary

    // Where decoding stands.
    Picture current_; // the latest picture handed out or passed
    Picture pending_; // the picture after it, when already out of the decoder
    bool live_ = false;
    int liveFrom_ = 0;   // the key packet decoding started from
    int nextRead_ = 0;   // position of the next packet to feed
    int soughtFrom_ = 0; // the packet the demuxer was last positioned at or before
    bool awaitingKey_ = false;
    bool inputEnded_ = false;
    bool drainSent_ = false;
    bool outputEnded_ = false;
    bool skipping_ = true;
    bool stopAfterTarget_ = false;
    int target_ = 0;
    int lastOutput_ = -1;
    int lastRequest_ = -2;
};

} // namespace media
