#include "media/ContainerMovie.h"

#include "media/CutStart.h"
#include "media/DemuxIndexBuilder.h"
#include "media/FfmpegLog.h"
#include "media/MovieError.h"
#include "media/TableIndexBuilder.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace media {

namespace {

// Consecutive decoder errors after which a stream is given up rather than polled forever.
constexpr int failuresToGiveUp = 64;

FramePtr allocateFrame() {
    FramePtr frame(av_frame_alloc());
    if (!frame)
        throw std::bad_alloc();
    return frame;
}

double frameRateOf(const AVStream& stream) {
    if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0)
        return av_q2d(stream.avg_frame_rate);
    if (stream.r_frame_rate.num > 0 && stream.r_frame_rate.den > 0)
        return av_q2d(stream.r_frame_rate);
    return 0.0;
}

} // namespace

ContainerMovie::ContainerMovie(const std::filesystem::path& file, InputContextPtr input,
                               const MovieOptions& options, std::shared_ptr<const FrameIndex> index)
    : file_(file), options_(options), demuxer_(file, std::move(input)),
      decoder_(demuxer_.stream(), file, options.decoderThreads, log_),
      shared_(index ? std::move(index)
                    : std::make_shared<const FrameIndex>(
                          listPackets(demuxer_, decoder_.isIntraOnly()))),
      index_(*shared_), packet_(av_packet_alloc()) {
    if (!packet_)
        throw std::bad_alloc();
    log_.attach(demuxer_.context());
    if (index_.empty())
        throw MovieError(file, "no video frames");
    const AVStream& stream = demuxer_.stream();
    intraOnly_ = decoder_.isIntraOnly() || index_.allKeys();
    converter_.describeStream(stream);
    width_ = stream.codecpar->width;
    height_ = stream.codecpar->height;
    if (width_ <= 0 || height_ <= 0)
        throw MovieError(file, "the picture size is unknown");
    frameRate_ = frameRateOf(stream);
    const AVRational aspect =
        av_guess_sample_aspect_ratio(&demuxer_.context(), &demuxer_.stream(), nullptr);
    sampleAspect_ = core::PixelShape::of(aspect.num, aspect.den);
    claimedFrames_ = static_cast<int>(
        std::clamp<std::int64_t>(stream.nb_frames, 0, std::numeric_limits<int>::max()));
    current_.frame = allocateFrame();
    pending_.frame = allocateFrame();
}

PacketList ContainerMovie::listPackets(ContainerDemuxer& demuxer, bool intraOnly) {
    std::optional<PacketList> list = TableIndexBuilder::build(demuxer);
    if (!list)
        list = DemuxIndexBuilder::build(demuxer);
    if (intraOnly)
        for (IndexedPacket& packet : list->packets)
            packet.key = true;
    CutStart::hide(*list, demuxer);
    return std::move(*list);
}

PictureColour ContainerMovie::colour() const {
    return PictureColour::ofStream(*demuxer_.stream().codecpar);
}

std::string ContainerMovie::codecName() const {
    return avcodec_get_name(demuxer_.stream().codecpar->codec_id);
}

std::vector<FrameRecord> ContainerMovie::frameTable() const {
    const AVRational timeBase = demuxer_.stream().time_base;
    const std::int64_t start = index_.pts(0);
    std::vector<FrameRecord> table(static_cast<std::size_t>(frameCount()));
    for (int n = 0; n < frameCount(); ++n) {
        const IndexedPacket& packet = index_.packet(index_.packetOf(n));
        FrameRecord& record = table[static_cast<std::size_t>(n)];
        record.seconds = static_cast<double>(packet.pts - start) * av_q2d(timeBase);
        record.ticks = packet.pts - start;
        record.timeBase = {timeBase.num, timeBase.den};
        record.key = packet.key;
        record.packetSize = packet.size;
    }
    return table;
}

void ContainerMovie::frameInto(int n, core::BgrImage& out) {
    if (n < 0 || n >= frameCount())
        throw outOfRange(n);
    try {
        const AVFrame& picture = fetchSteadily(n);
        lastRequest_ = n;
        if (VideoDecoder::isDamaged(picture))
            throw damaged(n);
        const AVFrame& shownPicture = shown(n, picture);
        if (options_.sketchWidth > 0)
            converter_.convert(shownPicture, options_.sketchWidth,
                               options_.sketchHeight(width_, height_), 256, out);
        else
            converter_.convert(shownPicture, width_, height_, 256, out);
    } catch (...) {
        live_ = false; // the decoder is left mid-stream
        throw;
    }
}

void ContainerMovie::changeOptions(const MovieOptions& options) {
    const bool sameThreads = options.decoderThreads == options_.decoderThreads;
    options_ = options;
    if (sameThreads || oneThread_)
        return;
    decoder_ = VideoDecoder(demuxer_.stream(), file_, decoderThreads(), log_);
    live_ = false; // the new decoder holds nothing to decode on from
}

const AVFrame& ContainerMovie::shown(int n, const AVFrame& picture) {
    if (!options_.deinterlace)
        return picture;
    return deinterlacer_.deinterlace(
        n, picture, frameCount(), [this](int k) { return neighbour(k); }, decoderThreads());
}

// A neighbour that cannot be decoded is left out, as at the ends of the movie.
const AVFrame* ContainerMovie::neighbour(int n) {
    try {
        const AVFrame& picture = fetchSteadily(n);
        lastRequest_ = n;
        return VideoDecoder::isDamaged(picture) ? nullptr : &picture;
    } catch (const MovieError& error) {
        if (error.kind() == MovieError::Kind::Stopped)
            throw;
        live_ = false;
        return nullptr;
    }
}

int ContainerMovie::decoderThreads() const {
    return oneThread_ ? 1 : options_.decoderThreads;
}

// Once the decoder or demuxer complains, pictures come from one thread, decoded again from the
// key frame: frame threads conceal damage differently from run to run and do not mark it, so
// the same movie would give other pictures, or fail for other reasons, for other job counts.
const AVFrame& ContainerMovie::fetchSteadily(int n) {
    try {
        const AVFrame& picture = fetch(n);
        if (!dropFrameThreads())
            return picture;
    } catch (const MovieError& error) {
        if (error.kind() == MovieError::Kind::Stopped || !dropFrameThreads())
            throw;
    }
    return fetch(n);
}

bool ContainerMovie::complainedSince(std::uint64_t mark) {
    if (decodesOnFrameThreads()) {
        decoder_.flush(); // waits for the threads, whose complaints are then all in the log
        live_ = false;
        current_.valid = false;
        pending_.valid = false;
    }
    const bool complained = log_.complaints() > mark;
    if (complained)
        dropFrameThreads();
    return complained;
}

bool ContainerMovie::decodesOnFrameThreads() const {
    return !oneThread_ && decoder_.lagsBehind();
}

bool ContainerMovie::dropFrameThreads() {
    if (oneThread_ || !decoder_.lagsBehind() || log_.complaints() == 0)
        return false;
    oneThread_ = true;
    decoder_ = VideoDecoder(demuxer_.stream(), file_, 1, log_);
    live_ = false;
    current_.valid = false;
    pending_.valid = false;
    return true;
}

const AVFrame& ContainerMovie::fetch(int n) {
    if (current_.valid && current_.number == n)
        return *current_.frame;
    log_.takeLastError();
    int key = index_.startFor(n);
    skipping_ = true;
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0 || !canDecodeForward(n, key))
            seekTo(key);
        target_ = n;
        stopAfterTarget_ = (intraOnly_ && decoder_.lagsBehind() && n != lastRequest_ + 1) ||
                           (options_.keyFramesAlone && key == index_.packetOf(n));
        const Outcome outcome = decodeUntil(n);
        if (stopAfterTarget_)
            live_ = false; // drained: the next fetch starts afresh
        if (outcome == Outcome::Found)
            return *current_.frame;
        if (attempt == 2)
            throw failure(n);
        // Again, decoding every picture; then from the key frame before, for a key flag that
        // promised more than its picture holds.
        skipping_ = false;
        if (attempt == 1)
            key = std::max(index_.keyBefore(key), 0);
    }
}

// Reading on is right while frame n has not gone by and the decoder already holds the pictures
// it is predicted from; a key frame further on is reached sooner by a seek.
bool ContainerMovie::canDecodeForward(int n, int key) const {
    return live_ && lastOutput_ < n && (!current_.valid || current_.number < n) &&
           liveFrom_ <= key && key <= nextRead_;
}

void ContainerMovie::seekTo(int key) {
    soughtFrom_ = key;
    if (!demuxer_.seekTo(index_.packet(key)))
        seekEarlier();
    decoder_.flush();
    current_.valid = false;
    pending_.valid = false;
    live_ = true;
    liveFrom_ = key;
    nextRead_ = key;
    awaitingKey_ = true;
    inputEnded_ = false;
    drainSent_ = false;
    outputEnded_ = false;
    lastOutput_ = -1;
}

// The demuxer landed past the packet wanted (or could not seek there): position it at an
// earlier key frame and read, without decoding, up to the wanted one.
void ContainerMovie::seekEarlier() {
    while (soughtFrom_ > 0) {
        soughtFrom_ = std::max(index_.keyBefore(soughtFrom_), 0);
        if (demuxer_.seekTo(index_.packet(soughtFrom_)))
            return;
    }
    inputEnded_ = true;
}

ContainerMovie::Outcome ContainerMovie::decodeUntil(int n) {
    for (;;) {
        if (!pending_.valid && !pull(pending_))
            return Outcome::Missing;
        if (pending_.number > n)
            return Outcome::Missing; // frame n never came out
        std::swap(current_, pending_);
        pending_.valid = false;
        if (current_.number == n)
            return Outcome::Found;
    }
}

bool ContainerMovie::pull(Picture& into) {
    int failures = 0;
    while (!outputEnded_) {
        switch (decoder_.receive(*into.frame)) {
        case VideoDecoder::Status::Frame:
            into.number = numberOf(*into.frame);
            if (into.number < 0)
                break; // a picture no frame shows
            into.valid = true;
            lastOutput_ = into.number;
            return true;
        case VideoDecoder::Status::Ended:
            outputEnded_ = true;
            break;
        case VideoDecoder::Status::Failed:
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

// Hands the decoder its next packet, stamped with the number of the frame it carries, so every
// picture that comes out names its frame whatever the container's clock did.
void ContainerMovie::feed() {
    while (!inputEnded_) {
        options_.stopIfAsked(file_);
        if (stopAfterTarget_ && nextRead_ > index_.packetOf(target_))
            break;
        if (!demuxer_.readPacket(*packet_)) {
            inputEnded_ = true;
            break;
        }
        const int position = positionOf(*packet_);
        if (position < nextRead_)
            continue; // before the key frame: the seek landed early
        if (awaitingKey_ && position > nextRead_) {
            seekEarlier();
            continue;
        }
        awaitingKey_ = false;
        nextRead_ = position + 1;
        if (packet_->size <= 0 || !index_.packet(position).decodable)
            continue;
        const int number = index_.frameOf(position);
        packet_->pts = number >= 0 ? number : -1 - position;
        packet_->dts = AV_NOPTS_VALUE;
        decoder_.skipUnreferenced(skipping_ && number >= 0 && number < target_);
        decoder_.send(packet_.get());
        return;
    }
    decoder_.send(nullptr);
    drainSent_ = true;
}

// By its place in the file; where the container gives none, by its decode time, and failing
// that by its order.
int ContainerMovie::positionOf(const AVPacket& packet) const {
    if (packet.pos >= 0) {
        const int position = index_.positionAt(packet.pos);
        if (position >= 0)
            return position;
    }
    if (nextRead_ >= index_.packetCount())
        return -1;
    if (!awaitingKey_ || packet.dts == index_.packet(nextRead_).dts)
        return nextRead_;
    return -1;
}

int ContainerMovie::numberOf(const AVFrame& frame) const {
    const std::int64_t stamp =
        frame.pts != AV_NOPTS_VALUE ? frame.pts : frame.best_effort_timestamp;
    return stamp >= 0 && stamp < frameCount() ? static_cast<int>(stamp) : -1;
}

MovieError ContainerMovie::failure(int n) const {
    if (index_.isCutShort() && inputEnded_)
        return MovieError(file_, n, "file truncated: the data ends before this frame");
    const std::string detail = log_.takeLastError();
    return MovieError(file_, n,
                      detail.empty() ? "decode failure" : "decode failure (" + detail + ")");
}

MovieError ContainerMovie::damaged(int n) const {
    return MovieError(file_, n, "damaged picture: the decoder had to conceal errors in it");
}

MovieError ContainerMovie::outOfRange(int n) const {
    return MovieError(file_, n,
                      "frame out of range (the movie has frames 0 to " +
                          std::to_string(frameCount() - 1) + ")");
}

} // namespace media
