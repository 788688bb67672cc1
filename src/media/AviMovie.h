#pragma once

#include "media/AviDemuxer.h"
#include "media/ChunkIndex.h"
#include "media/FfmpegLog.h"
#include "media/FfmpegPtr.h"
#include "media/FrameDecoder.h"
#include "media/FrameSource.h"
#include "media/MovieOptions.h"
#include "media/StreamFacts.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace media {

class MovieError;

// An AVI movie. Frame n is chunk slot n: a slot without a chunk (a dropped frame) repeats the
// picture before it. Reading on from the last frame decodes on; a jump seeks to the key frame at
// or before the wanted one.
class AviMovie final : public FrameSource, private FrameDecoder::Engine {
public:
    // Throws MovieError.
    AviMovie(const std::filesystem::path& file, const MovieOptions& options);
    ~AviMovie() override;

    int frameCount() const override { return frameCount_; }
    double frameRate() const override { return frameRate_; }
    const std::filesystem::path& file() const override { return file_; }
    const StreamFacts& facts() const override { return facts_; }
    int paletteSize() const override { return paletteSize_; }
    int claimedFrameCount() const override { return facts_.claimedFrames; }
    bool isTruncated() const override { return truncated_; }

    std::string containerName() const override;
    std::vector<FrameRecord> frameTable() const override;
    picture::PictureOrientation orientation() const override {
        return frames_.decoder().orientation();
    }
    const AVFrame* decoded(int n) override;
    void changeOptions(const MovieOptions& options) override;
    FrameDecoder& frames() override { return frames_; }
    const FrameDecoder& frames() const override { return frames_; }

private:
    // The fewest pictures kept for stepping back, whatever their size.
    static constexpr std::size_t fewestRecent = 2;

    struct Picture {
        FramePtr frame = picture::allocateFrame();
        std::int64_t display = 0;
        bool valid = false;
        bool cutOff = false; // from the chunk cut short, or its number is uncertain because of it
    };

    std::filesystem::path file_;
    int frameCount_ = 0;
    double frameRate_ = 0.0;
    StreamFacts facts_; // the header's frame count may exceed the frames present
    bool truncated_ = false;

    enum class Outcome { Found, Overshot, Missing, CutOff };

    void buildIndex();
    void buildIndexAsStored();
    void mendIndexOrder();
    void dropImplausibleStart();
    bool keyFlagsHold();
    void calibrate();
    void learnKeyShift();
    const AVFrame* fetch(int n) override;
    void leaveStream() override { live_ = false; }
    void forgetPictures() override;
    const AVStream& stream() const override { return demuxer_->stream(); }
    const Picture* fetchPicture(int n);
    int keyFor(std::int64_t target) const;
    std::int64_t keyDisplayGuess(int key) const;
    bool canDecodeForward(std::int64_t target, int key) const;
    void seekToKey(int key);
    Outcome decodeUntil(std::int64_t target);
    bool pull(Picture& into);
    bool takeDrained(Picture& into);
    void collectDrain();
    void markCutOff(Picture& picture);
    void feed();
    bool takeChunk(int position);
    bool resumeAtSkippedChunk(int position);
    void markLost(int position);
    void restamp(AVPacket& packet, int position) const;
    bool sendCutChunk();
    bool mayBeSkipped(int position) const;
    void keepRecent(const Picture& picture);
    std::size_t recentLimitFor(const AVFrame& frame) const;
    int positionOf(const AVPacket& packet) const;
    void attachPalette(AVPacket& packet);
    std::int64_t displayOf(const AVFrame& frame);
    bool repeatsAllowed() const;
    MovieError failure(int n) const;
    MovieError chunkLost(int n) const;
    MovieError outOfRange(int n) const;

    mutable FfmpegLog log_; // before the contexts that report to it; taken from when failing
    std::unique_ptr<AviDemuxer> demuxer_;
    FrameDecoder frames_;
    ChunkIndex index_;
    PacketPtr packet_;
    bool intraOnly_ = false;
    int paletteSize_ = 256;

    // Where decoding stands.
    Picture current_;   // the latest picture handed out or passed
    Picture next_;      // the picture after it, when already out of the decoder
    bool live_ = false; // the decoder holds the stream from a key frame up to nextRead_
    int nextRead_ = 0;  // index position of the next chunk to read
    bool inputEnded_ = false;
    bool stopAfterTarget_ = false; // drain once the wanted chunk is in (one-off fetches)
    int targetPosition_ = -1;
    std::int64_t target_ = 0;
    bool damaged_ = false;     // the decoder rejected data since the last key picture came out
    bool paletteOwed_ = false; // the next packet must carry the palette
    bool skipping_ = true;     // unreferenced pictures far from the target may be skipped
    std::optional<std::int64_t> lastOutput_;
    // Stepping back one frame at a time would decode from the key frame at every step: a run
    // that serves such a step keeps the pictures before its target, as many as the budget holds.
    std::map<std::int64_t, Picture> recent_; // by display number
    std::size_t recentLimit_ = fewestRecent;
    std::int64_t keepFrom_ = 0; // the first display number the current run keeps
    // A file cut inside a chunk: where that chunk lies (-1 until it reaches the decoder), whether
    // its picture has come out, and the pictures the final drain gave, numbered.
    std::int64_t cutChunkAt_ = -1;
    bool cutPictureShown_ = false;
    std::deque<Picture> drained_;
    // Index positions whose chunks are not where the index says, or not the size it says.
    std::set<int> lostChunks_;
    int resumedAt_ = -1; // the skipped chunk the demuxer was last sent back to

    // Display numbers: a picture's best-effort time stamp less this offset (decoder delay).
    std::int64_t timestampOffset_ = 0;
    // Where key frames show; with B-frames a key chunk is stored before its display place.
    std::vector<std::int64_t> keyDisplay_; // -1 until seen, notAKey for a false flag
    std::int64_t keyShift_ = 0;            // the largest such distance seen
    int seekKey_ = 0;
    bool awaitingFirst_ = false;
    bool seekKeyFalse_ = false; // the key frame sought last proved a predicted picture
};

} // namespace media
