#include "media/FrameDecoder.h"

#include "media/FfmpegLog.h"

#include <string>

extern "C" {
#include <libavutil/dict.h>
}

namespace media {

namespace {

// In a picture's metadata: the damaged frame it is built on.
constexpr const char* builtOnKey = "kirimo:built-on";

} // namespace

FrameDecoder::FrameDecoder(Engine& engine, const AVStream& stream,
                           const std::filesystem::path& file, const MovieOptions& options,
                           FfmpegLog& log)
    : engine_(engine), file_(file), options_(options), log_(log),
      decoder_(std::make_unique<VideoDecoder>(stream, file, options.decoderThreads, log)) {
    decoder_->sketchOnly(options.sketchOnly);
}

const AVFrame* FrameDecoder::picture(int n) {
    try {
        const AVFrame* picture = steadily(n);
        lastRequest_ = n;
        if (picture != nullptr && VideoDecoder::isDamaged(*picture))
            throw damaged(n, *picture);
        return picture;
    } catch (...) {
        engine_.leaveStream();
        throw;
    }
}

// A neighbour that cannot be decoded is left out, as at the ends of the movie.
const AVFrame* FrameDecoder::neighbour(int n) {
    try {
        const AVFrame* picture = steadily(n);
        lastRequest_ = n;
        return picture != nullptr && !VideoDecoder::isDamaged(*picture) ? picture : nullptr;
    } catch (const MovieError& error) {
        if (error.kind() == MovieError::Kind::Stopped)
            throw;
        engine_.leaveStream();
        return nullptr;
    }
}

// Once the decoder or demuxer complains, pictures come from one thread, decoded again from the
// key frame: frame threads conceal damage differently from run to run and do not mark it, so
// the same movie would give other pictures, or fail for other reasons, for other job counts.
const AVFrame* FrameDecoder::steadily(int n) {
    try {
        const AVFrame* picture = engine_.fetch(n);
        if (!dropFrameThreads())
            return picture;
    } catch (const MovieError& error) {
        if (error.kind() == MovieError::Kind::Stopped || !dropFrameThreads())
            throw;
    }
    return engine_.fetch(n);
}

bool FrameDecoder::changeOptions(const MovieOptions& options) {
    const bool sameThreads = options.decoderThreads == options_.decoderThreads;
    const bool sameSketch = options.sketchOnly == options_.sketchOnly;
    options_ = options;
    if (!sameSketch) {
        // Pictures decoded for a sketch are neither pictures to hand out nor to decode on from.
        replaceDecoder(threads());
        engine_.forgetPictures();
        return true;
    }
    if (sameThreads || oneThread_)
        return false;
    replaceDecoder(options.decoderThreads);
    return true;
}

std::uint64_t FrameDecoder::complaints() const {
    return log_.complaints();
}

bool FrameDecoder::complainedSince(std::uint64_t mark) {
    if (decodesOnFrameThreads()) {
        decoder_->flush(); // waits for the threads, whose complaints are then all in the log
        engine_.forgetPictures();
    }
    const bool complained = log_.complaints() > mark;
    if (complained)
        dropFrameThreads();
    return complained;
}

bool FrameDecoder::decodesOnFrameThreads() const {
    return !oneThread_ && decoder_->lagsBehind();
}

bool FrameDecoder::dropFrameThreads() {
    if (oneThread_ || !decoder_->lagsBehind() || log_.complaints() == 0)
        return false;
    oneThread_ = true;
    replaceDecoder(1);
    engine_.forgetPictures();
    return true;
}

void FrameDecoder::replaceDecoder(int threads) {
    decoder_ = std::make_unique<VideoDecoder>(engine_.stream(), file_, threads, log_);
    decoder_->sketchOnly(options_.sketchOnly);
}

bool FrameDecoder::send(const AVPacket& packet) {
    errorLinesBeforeSend_ = log_.errorLines();
    return decoder_->send(&packet);
}

void FrameDecoder::restart() {
    decoder_->flush();
    damagedSinceKey_.reset();
    drainSent_ = false;
    outputEnded_ = false;
}

void FrameDecoder::sendEnd() {
    decoder_->send(nullptr);
    drainSent_ = true;
}

bool FrameDecoder::pull(AVFrame& into, const std::function<void()>& feed,
                        const std::function<void()>& failed) {
    int failures = 0;
    while (!outputEnded_) {
        switch (decoder_->receive(into)) {
        case VideoDecoder::Status::Frame:
            if (errorsLoggedFor())
                into.decode_error_flags |= FF_DECODE_ERROR_INVALID_BITSTREAM;
            return true;
        case VideoDecoder::Status::Ended:
            outputEnded_ = true;
            break;
        case VideoDecoder::Status::Failed:
            if (failed)
                failed();
            outputEnded_ = ++failures >= failuresToGiveUp;
            break;
        case VideoDecoder::Status::NeedsInput:
            if (drainSent_)
                outputEnded_ = true;
            else
                feed();
            break;
        }
    }
    return false;
}

// Some decoders (MJPEG) hand out a picture built from garbage without marking it, and only
// their log tells. The complaint is pinned on a picture only where it can be: on one thread a
// codec whose pictures stand alone gives each packet's picture before the next packet goes in.
// Frame threads get there too, as the first complaint moves decoding to one thread.
bool FrameDecoder::errorsLoggedFor() const {
    return decoder_->isIntraOnly() && !decoder_->lagsBehind() &&
           log_.errorLines() > errorLinesBeforeSend_;
}

MovieError FrameDecoder::failure(int n, bool dataEnded) const {
    if (dataEnded)
        return MovieError(file_, n, "file truncated: the data ends before this frame");
    const std::string detail = log_.takeLastError();
    return MovieError(file_, n,
                      detail.empty() ? "decode failure" : "decode failure (" + detail + ")");
}

// Decoders mark the picture they conceal damage in, not those predicted from it. Whatever
// decodes through a damaged picture on its way to a frame makes that frame a dependant, as a
// run that meets the damaged frame first skips it. The mark travels with the picture, to every
// copy an engine keeps.
void FrameDecoder::numbered(AVFrame& picture, std::int64_t number) {
    if (decoder_->isIntraOnly())
        return;
    if (VideoDecoder::isDamaged(picture)) {
        if (!damagedSinceKey_)
            damagedSinceKey_ = number;
    } else if (picture.key_frame) {
        damagedSinceKey_.reset();
    } else if (damagedSinceKey_ && *damagedSinceKey_ < number) {
        picture.decode_error_flags |= FF_DECODE_ERROR_MISSING_REFERENCE;
        av_dict_set_int(&picture.metadata, builtOnKey, *damagedSinceKey_, 0);
    }
}

MovieError FrameDecoder::damaged(int n, const AVFrame& picture) const {
    const AVDictionaryEntry* builtOn = av_dict_get(picture.metadata, builtOnKey, nullptr, 0);
    if (builtOn == nullptr)
        return damaged(n);
    return MovieError::dependant(file_, n, std::stoi(builtOn->value));
}

MovieError FrameDecoder::damaged(int n) const {
    return MovieError(file_, n, "damaged picture: the decoder found errors in it");
}

} // namespace media
