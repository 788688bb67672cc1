#pragma once

#include "media/ContainerDemuxer.h"
#include "media/FfmpegLog.h"
#include "media/FrameDecoder.h"
#include "media/FrameIndex.h"
#include "media/FrameRecord.h"
#include "media/FrameSource.h"
#include "media/MovieOptions.h"
#include "media/StreamFacts.h"

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
class ContainerMovie final : public FrameSource, private FrameDecoder::Engine {
public:
    // Throws MovieError. `index`: this file's, from another reader of it; built when null.
    ContainerMovie(const std::filesystem::path& file, InputContextPtr input,
                   const MovieOptions& options, std::shared_ptr<const FrameIndex> index = nullptr);

    int frameCount() const override { return index_.frameCount(); }
    double frameRate() const override { return frameRate_; }
    const std::filesystem::path& file() const override { return file_; }
    const StreamFacts& facts() const override { return facts_; }
    std::string containerName() const override { return demuxer_.containerName(); }
    int claimedFrameCount() const override { return facts_.claimedFrames; }
    bool isTruncated() const override { return index_.isCutShort(); }
    int repairedTimeStamps() const override { return index_.repairedStamps(); }
    int lostStretches() const override { return index_.lostStretches(); }
    std::vector<FrameRecord> frameTable() const override;

    picture::PictureOrientation orientation() const override {
        return frames_.decoder().orientation();
    }
    const AVFrame* decoded(int n) override;
    void changeOptions(const MovieOptions& options) override;
    FrameDecoder& frames() override { return frames_; }
    const FrameDecoder& frames() const override { return frames_; }
    std::shared_ptr<const FrameIndex> sharedIndex() const override { return shared_; }

private:
    struct Picture {
        FramePtr frame;
        int number = -1;
        bool valid = false;
    };
    enum class Outcome { Found, Missing };

    static PacketList listPackets(ContainerDemuxer& demuxer, bool intraOnly);
    const AVFrame* fetch(int n) override;
    void leaveStream() override { live_ = false; }
    void forgetPictures() override;
    const AVStream& stream() const override { return demuxer_.stream(); }
    bool canDecodeForward(int n, int key) const;
    void seekTo(int key);
    void seekEarlier();
    Outcome decodeUntil(int n);
    bool pull(Picture& into);
    void feed();
    int positionOf(const AVPacket& packet) const;
    int numberOf(const AVFrame& frame) const;
    MovieError outOfRange(int n) const;

    std::filesystem::path file_;
    mutable FfmpegLog log_; // before the contexts that report to it; taken from when failing
    ContainerDemuxer demuxer_;
    FrameDecoder frames_;
    std::shared_ptr<const FrameIndex> shared_;
    const FrameIndex& index_; // *shared_
    PacketPtr packet_;
    double frameRate_ = 0.0;
    StreamFacts facts_;
    bool intraOnly_ = false;

    // Where decoding stands.
    Picture current_; // the latest picture handed out or passed
    Picture pending_; // the picture after it, when already out of the decoder
    bool live_ = false;
    int liveFrom_ = 0;   // the key packet decoding started from
    int nextRead_ = 0;   // position of the next packet to feed
    int soughtFrom_ = 0; // the packet the demuxer was last positioned at or before
    bool awaitingKey_ = false;
    bool inputEnded_ = false;
    bool skipping_ = true;
    bool stopAfterTarget_ = false;
    int target_ = 0;
    int lastOutput_ = -1;
};

} // namespace media
