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
#include <string>
#include <utility>

namespace media {

namespace {

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
    : file_(file), demuxer_(file, std::move(input), options.stream),
      frames_(*this, demuxer_.stream(), file, options, log_),
      shared_(index ? std::move(index)
                    : std::make_shared<const FrameIndex>(
                          listPackets(demuxer_, frames_.decoder().isIntraOnly()))),
      index_(*shared_), packet_(av_packet_alloc()) {
    if (!packet_)
        throw std::bad_alloc();
    log_.attach(demuxer_.context());
    if (index_.empty())
        throw MovieError(file, "no video frames");
    const AVStream& stream = demuxer_.stream();
    intraOnly_ = frames_.decoder().isIntraOnly() || index_.allKeys();
    facts_ = StreamFacts::read(demuxer_.context(), demuxer_.stream());
    if (facts_.width <= 0 || facts_.height <= 0)
        throw MovieError(
            file, "the picture size is unknown, even reading " +
                      std::to_string(ContainerDemuxer::furtherProbeMegabytes) + " MB or " +
                      std::to_string(ContainerDemuxer::furtherProbeSeconds) + " s into the file");
    frameRate_ = frameRateOf(stream);
    current_.frame = picture::allocateFrame();
    pending_.frame = picture::allocateFrame();
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

const AVFrame* ContainerMovie::decoded(int n) {
    if (n < 0 || n >= frameCount())
        throw outOfRange(n);
    return frames_.picture(n);
}

void ContainerMovie::changeOptions(const MovieOptions& options) {
    if (frames_.changeOptions(options))
        live_ = false; // the new decoder holds nothing to decode on from
}

void ContainerMovie::forgetPictures() {
    live_ = false;
    current_.valid = false;
    pending_.valid = false;
}

const AVFrame* ContainerMovie::fetch(int n) {
    if (current_.valid && current_.number == n)
        return current_.frame.get();
    log_.takeLastError();
    int key = index_.startFor(n);
    skipping_ = true;
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0 || !canDecodeForward(n, key))
            seekTo(key);
        target_ = n;
        stopAfterTarget_ =
            (intraOnly_ && frames_.decoder().lagsBehind() && n != frames_.lastRequest() + 1) ||
            (frames_.options().keyFramesAlone && key == index_.packetOf(n));
        const Outcome outcome = decodeUntil(n);
        if (stopAfterTarget_)
            live_ = false; // drained: the next fetch starts afresh
        if (outcome == Outcome::Found)
            return current_.frame.get();
        if (attempt == 2)
            throw frames_.failure(n, index_.isCutShort() && inputEnded_);
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
    frames_.restart();
    current_.valid = false;
    pending_.valid = false;
    live_ = true;
    liveFrom_ = key;
    nextRead_ = key;
    awaitingKey_ = true;
    inputEnded_ = false;
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
    while (frames_.pull(*into.frame, [this] { feed(); })) {
        into.number = numberOf(*into.frame);
        if (into.number < 0)
            continue; // a picture no frame shows
        frames_.numbered(*into.frame, into.number);
        into.valid = true;
        lastOutput_ = into.number;
        return true;
    }
    return false;
}

// Hands the decoder its next packet, stamped with the number of the frame it carries, so every
// picture that comes out names its frame whatever the container's clock did.
void ContainerMovie::feed() {
    while (!inputEnded_) {
        frames_.stopIfAsked();
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
        frames_.decoder().skipUnreferenced(skipping_ && number >= 0 && number < target_);
        frames_.send(*packet_);
        return;
    }
    frames_.sendEnd();
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

MovieError ContainerMovie::outOfRange(int n) const {
    return MovieError(file_, n,
                      "frame out of range (the movie has frames 0 to " +
                          std::to_string(frameCount() - 1) + ")");
}

} // namespace media
