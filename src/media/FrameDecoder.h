#pragma once

#include "media/MovieError.h"
#include "media/MovieOptions.h"
#include "media/VideoDecoder.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace media {

class FfmpegLog;

// The decoding both engines share, around their own numbering and seeking: the decoder and its
// threads, the switch to one thread once the decoder complains, the drain, giving up on a
// stream that only fails, the damaged-picture rule, and the failures' messages.
class FrameDecoder {
public:
    // Consecutive decoder errors after which a stream is given up rather than polled forever.
    static constexpr int failuresToGiveUp = 64;

    // What only the engine knows: how it finds a frame's picture, and how it forgets where it
    // stands.
    class Engine {
    public:
        // The decoder's picture of frame n; nullptr for a frame shown black. Throws MovieError.
        virtual const AVFrame* fetch(int n) = 0;
        // The decoder is left mid-stream: the next fetch seeks.
        virtual void leaveStream() = 0;
        // As leaveStream(), and no picture decoded so far is handed out again.
        virtual void forgetPictures() = 0;
        // The stream decoded now (an engine may open its file again).
        virtual const AVStream& stream() const = 0;

    protected:
        ~Engine() = default;
    };

    // Throws MovieError when no decoder for the stream's codec is at hand.
    FrameDecoder(Engine& engine, const AVStream& stream, const std::filesystem::path& file,
                 const MovieOptions& options, FfmpegLog& log);

    VideoDecoder& decoder() { return *decoder_; }
    const VideoDecoder& decoder() const { return *decoder_; }
    const MovieOptions& options() const { return options_; }
    // The threads the decoder and the picture stages may take now.
    int threads() const { return oneThread_ ? 1 : options_.decoderThreads; }
    // The frame asked for last, through picture() or neighbour().
    int lastRequest() const { return lastRequest_; }
    // Throws MovieError of kind Stopped once the caller asked to stop.
    void stopIfAsked() const { options_.stopIfAsked(file_); }

    // Frame n's picture through the engine, decoded again on one thread where frame threads
    // heard a complaint. Throws MovieError for a picture the decoder marked damaged.
    const AVFrame* picture(int n);
    // As picture(), but nullptr for a frame that cannot be decoded.
    const AVFrame* neighbour(int n);

    // Takes another thread count with a new decoder; true when it did (the engine then decodes
    // afresh).
    bool changeOptions(const MovieOptions& options);

    // Frame threads hand a picture out before the decoder has said all it will about the
    // packets decoded alongside it. complainedSince() waits for the threads and tells whether
    // the decoder or demuxer complained after `mark`; from a complaint on, decoding is on one
    // thread.
    std::uint64_t complaints() const;
    bool complainedSince(std::uint64_t mark);
    bool decodesOnFrameThreads() const;

    // Hands the decoder a packet; false when it rejects the packet as damaged.
    bool send(const AVPacket& packet);
    // The decoder forgets every picture, for data from a new position.
    void restart();
    // Hands the decoder the end of the stream: what it holds comes out.
    void sendEnd();
    bool drainSent() const { return drainSent_; }
    bool outputEnded() const { return outputEnded_; }
    void endOutput() { outputEnded_ = true; }
    // The decoder's next picture into `into`: `feed` hands it a packet (or the end) when it
    // wants one, `failed` hears of every error. False once nothing more will come. A picture
    // whose packet made the decoder log an error comes out marked damaged.
    bool pull(AVFrame& into, const std::function<void()>& feed,
              const std::function<void()>& failed = nullptr);

    // Each picture as it comes out, numbered: one shown after a damaged picture and before the
    // next sound key picture is built on it, and is marked damaged too.
    void numbered(AVFrame& picture, std::int64_t number);

    // Why frame n could not be decoded: the data ended early in a file cut short, or the
    // decoder's last complaint.
    MovieError failure(int n, bool dataEnded) const;
    MovieError damaged(int n) const;
    // As damaged(), or dependant when the picture is built on another one that is.
    MovieError damaged(int n, const AVFrame& picture) const;

private:
    const AVFrame* steadily(int n);
    bool dropFrameThreads();
    void replaceDecoder(int threads);
    bool errorsLoggedFor() const;

    Engine& engine_;
    std::filesystem::path file_;
    MovieOptions options_;
    FfmpegLog& log_;
    std::unique_ptr<VideoDecoder> decoder_;
    bool oneThread_ = false; // the decoder complained: frame threads would make results vary
    bool drainSent_ = false;
    bool outputEnded_ = false;
    int lastRequest_ = -2;
    std::uint64_t errorLinesBeforeSend_ = 0;
    std::optional<std::int64_t> damagedSinceKey_; // the first damaged picture since a key one
};

} // namespace media
