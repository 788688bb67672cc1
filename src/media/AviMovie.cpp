#include "media/AviMovie.h"

#include "media/FfmpegLog.h"
#include "media/MoviChunks.h"
#include "media/MovieError.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace media {

namespace {

// An unreferenced picture (a B-frame) leaves the decoder with its own chunk's time stamp, so it
// shows at its chunk's number less the decoder delay. One stored well before the wanted frame
// can neither be it nor be needed by it, and the decoder may skip it. The margin allows for
// encoders that order their pictures otherwise; should a wanted picture go missing all the
// same, the frame is decoded again without skipping.
constexpr std::int64_t skipMargin = 1;
// In keyDisplay_: a chunk the index flags a key frame that decodes to a predicted picture.
constexpr std::int64_t notAKey = -2;
// Memory for pictures kept for stepping back (a spin button held down), and the fewest kept.
constexpr std::size_t recentBudget = std::size_t{64} << 20;
// What positionOf() says of a packet that is no chunk of the index.
constexpr int notIndexed = -1;
constexpr int pastTheIndex = -2;
constexpr std::int64_t chunkHeaderSize = 8;

// The chunk layout this engine reads (slots, empty chunks) is the first video stream's.
std::unique_ptr<AviDemuxer> openDemuxer(const std::filesystem::path& file, int videoStream,
                                        FfmpegLog& log) {
    if (videoStream > 0)
        throw MovieError(file, "video stream " + std::to_string(videoStream) +
                                   ": an AVI file is read by its first video stream only "
                                   "(stream 0)");
    auto demuxer = std::make_unique<AviDemuxer>(file);
    demuxer->reportTo(log);
    return demuxer;
}

int paletteSizeOf(const AVCodecParameters& parameters) {
    const int bits = parameters.bits_per_coded_sample;
    return bits >= 1 && bits <= 8 ? 1 << bits : 256;
}

double frameRateOf(const AVStream& stream) {
    // In an AVI file every chunk lasts one tick of the stream's time base.
    if (stream.time_base.num > 0 && stream.time_base.den > 0)
        return av_q2d(av_inv_q(stream.time_base));
    return stream.avg_frame_rate.den > 0 ? av_q2d(stream.avg_frame_rate) : 0.0;
}

} // namespace

AviMovie::AviMovie(const std::filesystem::path& file, const MovieOptions& options)
    : file_(file), demuxer_(openDemuxer(file, options.stream, log_)),
      frames_(*this, demuxer_->stream(), file, options, log_) {
    const AVStream& stream = demuxer_->stream();
    facts_ = StreamFacts::read(demuxer_->context(), demuxer_->stream());
    packet_.reset(av_packet_alloc());
    if (!packet_)
        throw std::bad_alloc();
    buildIndex();
    if (index_.empty())
        throw MovieError(file, "no video frames", MovieError::Kind::NoFrames);
    if (frames_.decoder().isIntraOnly())
        index_.makeAllKeys();
    else if (!keyFlagsHold())
        index_.forgetKeys();
    intraOnly_ = frames_.decoder().isIntraOnly() || index_.allKeys();
    keyDisplay_.assign(static_cast<std::size_t>(index_.keyCount()), -1);
    frameRate_ = frameRateOf(stream);
    paletteSize_ = paletteSizeOf(*stream.codecpar);
    calibrate();
    if (facts_.width <= 0 || facts_.height <= 0)
        throw MovieError(file, "the picture size is unknown");
    if (!intraOnly_ && index_.keyCount() > 1)
        learnKeyShift();
}

AviMovie::~AviMovie() = default;

std::string AviMovie::containerName() const {
    return demuxer_->formatName();
}

// The header's frame count is not trusted: frameCount() counts the chunks the file really
// holds (a header may claim more). The demuxer's index serves when the file has an index of its
// own that accounts for the header's count, with dropped frames at the end; otherwise (no
// index, a file cut short, or a header that claims more) the data itself is read once.
void AviMovie::buildIndex() {
    buildIndexAsStored();
    dropImplausibleStart();
}

// A stream's start (blank frames before its first picture) longer than the movie itself is a
// broken header: believed, a small file would count billions of frames.
void AviMovie::dropImplausibleStart() {
    if (index_.empty())
        return;
    const std::int64_t start = index_.timestamp(0);
    if (start <= index_.size())
        return;
    index_.shiftTimestamps(start);
    demuxer_->shiftTimestamps(start);
    frameCount_ =
        static_cast<int>(std::max<std::int64_t>(index_.frameCount(), frameCount_ - start));
}

void AviMovie::buildIndexAsStored() {
    const AVStream& stream = demuxer_->stream();
    const AviLayout& layout = demuxer_->layout();
    if (layout.hasChunkIndex() && !layout.isExtended())
        mendIndexOrder();
    index_ = ChunkIndex::fromStream(stream, demuxer_->fileSize(), std::nullopt);
    truncated_ = layout.isCutShort();
    const bool indexed = layout.hasChunkIndex() || layout.isExtended();
    if (!index_.empty() && indexed && !truncated_) {
        frameCount_ = index_.frameCount();
        if (facts_.claimedFrames > frameCount_)
            frameCount_ = std::min(facts_.claimedFrames,
                                   frameCount_ + layout.trailingEmptyChunks(stream.index));
        if (frameCount_ >= facts_.claimedFrames)
            return;
    }
    const std::optional<std::int64_t> firstDamaged = demuxer_->scanToEnd();
    truncated_ = truncated_ || firstDamaged.has_value();
    index_ = ChunkIndex::fromStream(stream, demuxer_->fileSize(), firstDamaged);
    // Without an index of its own the demuxer flags every chunk a key frame.
    if (!indexed && demuxer_->keysFound())
        index_.setKeys(*demuxer_->keysFound());
    frameCount_ = index_.frameCount();
    if (!truncated_ && facts_.claimedFrames > frameCount_)
        frameCount_ =
            std::min(facts_.claimedFrames, frameCount_ + layout.trailingEmptyChunks(stream.index));
    // Without an index of its own, a file whose headers promise more than its data holds has lost
    // its end, even where its RIFF size was mended or the cut fell between chunks.
    truncated_ = truncated_ || (!indexed && facts_.claimedFrames > frameCount_);
}

// An index entry out of sequence points at a chunk not its own (another stream's, a later
// frame's), and a seek would hand out that chunk's picture as the frame's. The chunks of the
// movi list, in stored order, put such entries right; an index that does not match them at all
// is refused.
void AviMovie::mendIndexOrder() {
    AVStream& stream = demuxer_->stream();
    const int count = avformat_index_get_entries_count(&stream);
    bool inSequence = true;
    for (int i = 1; i < count && inSequence; ++i) {
        const AVIndexEntry* before = avformat_index_get_entry(&stream, i - 1);
        const AVIndexEntry* entry = avformat_index_get_entry(&stream, i);
        inSequence = entry->pos >= before->pos + before->size;
    }
    if (inSequence)
        return;
    std::optional<std::vector<MoviChunks::Chunk>> chunks =
        MoviChunks::ofStream(file_, stream.index);
    if (chunks) // the index leaves out empty chunks (dropped frames)
        std::erase_if(*chunks, [](const MoviChunks::Chunk& chunk) { return chunk.size == 0; });
    if (!chunks || static_cast<int>(chunks->size()) != count)
        throw MovieError(file_, "the index is damaged: its entries do not match the chunks of "
                                "the movie data");
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry entry = *avformat_index_get_entry(&stream, i);
        const MoviChunks::Chunk& chunk = (*chunks)[static_cast<std::size_t>(i)];
        if (entry.pos != chunk.pos || entry.size != static_cast<int>(chunk.size))
            av_add_index_entry(&stream, chunk.pos, entry.timestamp, static_cast<int>(chunk.size),
                               entry.min_distance, entry.flags);
    }
}

// Some writers flag every chunk a key frame whatever the codec did; trusting that, a jump would
// start decoding at a predicted picture. The second chunk, decoded on its own, tells.
bool AviMovie::keyFlagsHold() {
    if (!index_.allKeys() || index_.size() < 2)
        return true;
    if (!demuxer_->seek(index_.timestamp(1)))
        return false;
    VideoDecoder& decoder = frames_.decoder();
    decoder.flush();
    bool read = demuxer_->readPacket(*packet_);
    while (read && packet_->size <= 0)
        read = demuxer_->readPacket(*packet_);
    const bool sent = read && decoder.send(packet_.get());
    decoder.send(nullptr);
    const FramePtr frame = picture::allocateFrame();
    VideoDecoder::Status status = VideoDecoder::Status::NeedsInput;
    for (int tries = 0; tries < FrameDecoder::failuresToGiveUp; ++tries) {
        status = decoder.receive(*frame);
        if (status != VideoDecoder::Status::Failed)
            break;
    }
    return sent && status == VideoDecoder::Status::Frame && frame->key_frame;
}

// Decodes the first picture: it fixes how time stamps map to display numbers and tells the
// picture format.
void AviMovie::calibrate() {
    seekToKey(0);
    const std::int64_t first = index_.timestamp(index_.keyPosition(0));
    target_ = first;
    if (!pull(next_))
        return;
    const AVFrame& frame = *next_.frame;
    // Pictures that stand alone come out without delay and carry their own numbers. Measuring
    // them would mislead when the first one is undecodable: the picture that comes first is
    // then the second frame's, and taking it for the first would shift every number by one.
    if (!intraOnly_) {
        if (frame.best_effort_timestamp != AV_NOPTS_VALUE)
            timestampOffset_ = frame.best_effort_timestamp - first;
        next_.display = first;
        lastOutput_ = first;
        keyDisplay_[0] = first;
    }
    std::swap(current_, next_);
    recentLimit_ = recentLimitFor(frame);
    facts_.palettised = facts_.palettised || frame.format == AV_PIX_FMT_PAL8;
    if (facts_.width <= 0 || facts_.height <= 0) {
        facts_.width = frame.width;
        facts_.height = frame.height;
    }
}

// Finds how far after its chunk the second key frame shows, so jumps pick the right key.
void AviMovie::learnKeyShift() {
    seekToKey(1);
    target_ = index_.timestamp(index_.keyPosition(1));
    pull(next_);
}

const AVFrame* AviMovie::decoded(int n) {
    if (n < 0 || n >= frameCount_)
        throw outOfRange(n);
    return frames_.picture(n);
}

const AVFrame* AviMovie::fetch(int n) {
    const Picture* picture = fetchPicture(n);
    return picture != nullptr ? picture->frame.get() : nullptr;
}

void AviMovie::changeOptions(const MovieOptions& options) {
    if (frames_.changeOptions(options))
        live_ = false; // the new decoder holds nothing to decode on from
}

void AviMovie::forgetPictures() {
    live_ = false;
    current_.valid = false;
    next_.valid = false;
    recent_.clear();
}

// Frame n of an AVI file is its chunk slot: a slot without a chunk repeats the picture before.
// With B-frames a key chunk is stored before the place its picture shows, so key flags go to
// where key pictures show, not to the slots of their chunks.
std::vector<FrameRecord> AviMovie::frameTable() const {
    std::vector<FrameRecord> table(static_cast<std::size_t>(frameCount_));
    const double secondsPerFrame = frameRate_ > 0.0 ? 1.0 / frameRate_ : 0.0;
    const AVRational tick = av_inv_q(av_d2q(frameRate_, 1'000'000));
    const AVStream& stream = demuxer_->stream();
    const core::TimeBase timeBase =
        stream.time_base.num > 0 && stream.time_base.den > 0
            ? core::TimeBase{stream.time_base.num, stream.time_base.den}
            : core::TimeBase{tick.den > 0 ? tick.num : 0, tick.den > 0 ? tick.den : 1};
    for (int n = 0; n < frameCount_; ++n) {
        FrameRecord& record = table[static_cast<std::size_t>(n)];
        record.seconds = n * secondsPerFrame;
        record.ticks = n;
        record.timeBase = timeBase;
        if (const int position = index_.positionOf(n); position >= 0)
            record.packetSize = index_.packetSize(position);
    }
    for (int key = 0; key < index_.keyCount(); ++key) {
        if (keyDisplay_[static_cast<std::size_t>(key)] == notAKey)
            continue;
        const std::int64_t shows = keyDisplayGuess(key);
        if (shows >= 0 && shows < frameCount_)
            table[static_cast<std::size_t>(shows)].key = true;
    }
    return table;
}

// The picture of frame n, or nullptr for a frame before the first picture of the movie.
const AviMovie::Picture* AviMovie::fetchPicture(int n) {
    std::int64_t target = n;
    int targetPosition = -1;
    if (intraOnly_) {
        // A dropped frame shows the chunk before it; only that chunk needs decoding.
        targetPosition = index_.lastAtOrBefore(n);
        if (targetPosition < 0)
            return nullptr;
        if (lostChunks_.contains(targetPosition))
            throw chunkLost(n);
        target = index_.timestamp(targetPosition);
    }
    if (current_.valid && current_.display == target && !current_.cutOff)
        return &current_;
    if (const auto kept = recent_.find(target); kept != recent_.end())
        return &kept->second;
    const int lastRequest = frames_.lastRequest();
    const bool steppingBack = !intraOnly_ && n < lastRequest &&
                              lastRequest - n <= static_cast<std::int64_t>(recentLimit_);
    keepFrom_ = steppingBack ? target - static_cast<std::int64_t>(recentLimit_) + 1 : target;
    int key = keyFor(target);
    if (key < 0)
        return nullptr;
    log_.takeLastError();
    bool mustSeek = false;
    bool retried = false;
    skipping_ = true;
    for (;;) {
        const bool forward = !mustSeek && canDecodeForward(target, key);
        if (!forward)
            seekToKey(key);
        target_ = target;
        targetPosition_ = targetPosition;
        stopAfterTarget_ = intraOnly_ && frames_.decoder().lagsBehind() && n != lastRequest + 1;
        const Outcome outcome = decodeUntil(target);
        if (stopAfterTarget_)
            live_ = false; // drained: the next fetch starts afresh
        if (intraOnly_ && lostChunks_.contains(targetPosition))
            throw chunkLost(n);
        if (seekKeyFalse_) {
            // Pictures decoded from a false key frame lack their references.
            key = keyFor(target);
            mustSeek = true;
            continue;
        }
        if (outcome == Outcome::Found) {
            if (!intraOnly_ && damaged_)
                throw failure(n);
            return &current_;
        }
        if (outcome == Outcome::CutOff)
            throw MovieError(file_, n, "file truncated: the data of this frame is cut off");
        if (outcome == Outcome::Overshot && !intraOnly_ && key > 0) {
            // The key frame shows after the wanted frame: start one key frame earlier.
            --key;
            while (key > 0 && keyDisplay_[static_cast<std::size_t>(key)] == notAKey)
                --key;
            mustSeek = true;
            continue;
        }
        if (!retried) {
            // Start afresh from the key frame, decoding every picture.
            retried = true;
            mustSeek = true;
            skipping_ = false;
            continue;
        }
        throw failure(n);
    }
}

int AviMovie::keyFor(std::int64_t target) const {
    int key = index_.lastKeyAtOrBefore(target);
    while (key > 0 &&
           (keyDisplay_[static_cast<std::size_t>(key)] == notAKey || keyDisplayGuess(key) > target))
        --key;
    return key;
}

std::int64_t AviMovie::keyDisplayGuess(int key) const {
    const std::int64_t known = keyDisplay_[static_cast<std::size_t>(key)];
    if (known >= 0)
        return known;
    return index_.timestamp(index_.keyPosition(key)) + (key > 0 ? keyShift_ : 0);
}

// Decoding on is right while the target has not gone by, unless the target's key frame lies
// ahead of the read position: then a seek skips everything in between.
bool AviMovie::canDecodeForward(std::int64_t target, int key) const {
    const bool ahead =
        !lastOutput_ || *lastOutput_ <= target || (current_.valid && current_.display < target);
    return live_ && ahead && index_.keyPosition(key) <= nextRead_;
}

void AviMovie::seekToKey(int key) {
    const int position = index_.keyPosition(key);
    // At the start the demuxer still holds the first packets, one of them with the palette.
    const bool alreadyThere = position == 0 && demuxer_->isAtStart();
    if (!alreadyThere && !demuxer_->seek(index_.timestamp(position))) {
        // Start over from the beginning of a freshly opened file.
        demuxer_ = openDemuxer(file_, -1, log_);
        key = 0;
    }
    frames_.restart();
    current_.valid = false;
    next_.valid = false;
    lastOutput_.reset();
    live_ = true;
    nextRead_ = index_.keyPosition(key);
    inputEnded_ = false;
    damaged_ = false;
    seekKey_ = key;
    awaitingFirst_ = true;
    seekKeyFalse_ = false;
    paletteOwed_ = true;
    cutChunkAt_ = -1;
    cutPictureShown_ = false;
    drained_.clear();
}

AviMovie::Outcome AviMovie::decodeUntil(std::int64_t target) {
    for (;;) {
        if (!next_.valid && !pull(next_)) {
            if (current_.valid && current_.display < target && repeatsAllowed())
                return Outcome::Found;
            return Outcome::Missing;
        }
        if (next_.display <= target) {
            std::swap(current_, next_);
            next_.valid = false;
            if (keepFrom_ < target)
                keepRecent(current_);
            if (current_.display == target)
                return current_.cutOff ? Outcome::CutOff : Outcome::Found;
            continue;
        }
        if (!current_.valid)
            return Outcome::Overshot;
        // Nothing shows between the two pictures: the frames in between were dropped.
        if (current_.display < target && repeatsAllowed())
            return Outcome::Found;
        return Outcome::Missing;
    }
}

bool AviMovie::pull(Picture& into) {
    if (takeDrained(into))
        return true;
    const auto feedOrCollect = [this] {
        feed();
        if (frames_.drainSent() && cutChunkAt_ >= 0)
            collectDrain();
    };
    // What is left of the chunk cut short may well not decode.
    const auto failed = [this] { damaged_ = damaged_ || cutChunkAt_ < 0; };
    if (!frames_.pull(*into.frame, feedOrCollect, failed))
        return takeDrained(into);
    into.display = displayOf(*into.frame);
    frames_.numbered(*into.frame, into.display);
    into.valid = true;
    markCutOff(into);
    // Not before: pictures stored after a key frame may show before it and refer to the
    // damaged pictures ahead of it.
    if (into.frame->key_frame)
        damaged_ = false;
    return true;
}

bool AviMovie::takeDrained(Picture& into) {
    if (drained_.empty())
        return false;
    std::swap(into, drained_.front());
    drained_.pop_front();
    return true;
}

// The last pictures of a drain carry no time stamp and are numbered on from the one before,
// which is right only while no picture is missing before them. Past a cut, pictures stored after
// the chunk cut short are missing, and may show before pictures read earlier.
void AviMovie::collectDrain() {
    int failures = 0;
    for (;;) {
        Picture picture;
        const VideoDecoder::Status status = frames_.decoder().receive(*picture.frame);
        if (status == VideoDecoder::Status::Frame) {
            picture.display = displayOf(*picture.frame);
            frames_.numbered(*picture.frame, picture.display);
            picture.valid = true;
            markCutOff(picture);
            drained_.push_back(std::move(picture));
        } else if (status != VideoDecoder::Status::Failed ||
                   ++failures >= FrameDecoder::failuresToGiveUp) {
            break;
        }
    }
    // Without the picture of the chunk cut short, any unstamped number may be one too low.
    if (!cutPictureShown_)
        for (Picture& picture : drained_)
            picture.cutOff =
                picture.cutOff || picture.frame->best_effort_timestamp == AV_NOPTS_VALUE;
    frames_.endOutput();
}

// Pictures counted on after the picture of the chunk cut short may have skipped one stored
// beyond the cut (a reference shown later than pictures stored after it).
void AviMovie::markCutOff(Picture& picture) {
    picture.cutOff = false;
    if (cutChunkAt_ < 0)
        return;
    const bool fromCutChunk = picture.frame->pkt_pos == cutChunkAt_;
    const bool unstamped = picture.frame->best_effort_timestamp == AV_NOPTS_VALUE;
    picture.cutOff = fromCutChunk || (unstamped && cutPictureShown_);
    cutPictureShown_ = cutPictureShown_ || fromCutChunk;
}

// Hands the decoder its next chunk, or the end of the stream. A zero-size chunk never reaches
// it: to a decoder an empty packet means the end.
void AviMovie::feed() {
    const bool wantedIsIn = stopAfterTarget_ && nextRead_ > targetPosition_;
    while (!inputEnded_ && !wantedIsIn) {
        frames_.stopIfAsked();
        if (!demuxer_->readPacket(*packet_)) {
            inputEnded_ = true;
            break;
        }
        if (packet_->flags & AV_PKT_FLAG_CORRUPT) {
            inputEnded_ = true; // the rest of the file is cut off
            if (sendCutChunk())
                return;
            break;
        }
        const int position = positionOf(*packet_);
        if (position == pastTheIndex) {
            inputEnded_ = true;
            break;
        }
        if (!takeChunk(position))
            continue;
        nextRead_ = position + 1;
        restamp(*packet_, position);
        if (paletteOwed_)
            attachPalette(*packet_);
        frames_.decoder().skipUnreferenced(mayBeSkipped(position));
        if (!frames_.send(*packet_))
            damaged_ = true;
        return;
    }
    frames_.sendEnd();
}

// The picture of the chunk cut short still takes its place in display order; without it, the
// pictures after it would each take the number of the one before. It is never handed out.
bool AviMovie::sendCutChunk() {
    if (intraOnly_ || packet_->size <= 0)
        return false;
    cutChunkAt_ = packet_->pos;
    frames_.decoder().skipUnreferenced(false);
    frames_.send(*packet_);
    return true;
}

bool AviMovie::mayBeSkipped(int position) const {
    return skipping_ && !intraOnly_ &&
           index_.timestamp(position) - timestampOffset_ + skipMargin <
               std::min(target_, keepFrom_);
}

// Holds a reference to the decoder's picture, no copy. The pictures farthest from the target go
// first.
void AviMovie::keepRecent(const Picture& picture) {
    if (picture.display < keepFrom_ || picture.display > target_ || picture.cutOff || damaged_)
        return;
    Picture kept;
    if (av_frame_ref(kept.frame.get(), picture.frame.get()) < 0)
        return;
    kept.display = picture.display;
    kept.valid = true;
    recent_.insert_or_assign(picture.display, std::move(kept));
    while (recent_.size() > recentLimit_) {
        const auto lowest = recent_.begin();
        const auto highest = std::prev(recent_.end());
        recent_.erase(target_ - lowest->first >= highest->first - target_ ? lowest : highest);
    }
}

std::size_t AviMovie::recentLimitFor(const AVFrame& frame) const {
    const int bytes = av_image_get_buffer_size(static_cast<AVPixelFormat>(frame.format),
                                               frame.width, frame.height, 1);
    if (bytes <= 0)
        return fewestRecent;
    return std::max(fewestRecent, recentBudget / static_cast<std::size_t>(bytes));
}

// A decoder flushed after a seek may have forgotten the palette, which the demuxer sent once.
void AviMovie::attachPalette(AVPacket& packet) {
    paletteOwed_ = false;
    const std::vector<std::uint8_t>& palette = demuxer_->palette();
    if (palette.empty() || av_packet_get_side_data(&packet, AV_PKT_DATA_PALETTE, nullptr))
        return;
    std::uint8_t* side = av_packet_new_side_data(&packet, AV_PKT_DATA_PALETTE, palette.size());
    if (side != nullptr)
        std::copy(palette.begin(), palette.end(), side);
}

// By the chunk's place in the file: after damage the demuxer counts on from the chunks it
// read, not from the index.
int AviMovie::positionOf(const AVPacket& packet) const {
    if (packet.pos >= chunkHeaderSize) {
        // The demuxer tells where the chunk's data start, the index where its header does.
        const std::int64_t header = packet.pos - chunkHeaderSize;
        if (const int position = index_.positionAt(header); position >= 0)
            return position;
        return header > index_.offset(index_.size() - 1) ? pastTheIndex : notIndexed;
    }
    if (packet.dts == AV_NOPTS_VALUE)
        return nextRead_ < index_.size() ? nextRead_ : pastTheIndex;
    if (packet.dts > index_.timestamp(index_.size() - 1))
        return pastTheIndex;
    return std::max(index_.lastAtOrBefore(packet.dts), 0);
}

// The index decides which chunk is which frame's. Past damage the demuxer searches on for
// something that looks like a chunk: it may skip chunks the index names, or take noise (or a
// dropped frame) for one. A chunk the index names that is not where it says, or not of the size
// it says, is lost: its frame is damaged, and no other frame moves.
bool AviMovie::takeChunk(int position) {
    if (position == notIndexed || position < nextRead_)
        return false;
    if (position > nextRead_ && resumeAtSkippedChunk(position))
        return false;
    if (packet_->size != index_.packetSize(position)) {
        markLost(position);
        nextRead_ = position + 1;
        return false;
    }
    resumedAt_ = -1; // a chunk skipped again on a later pass is checked again
    return true;
}

// True when the demuxer was sent back to a chunk it skipped that is where the index says.
bool AviMovie::resumeAtSkippedChunk(int position) {
    for (int skipped = nextRead_; skipped < position; ++skipped) {
        const MoviChunks::Chunk chunk{index_.offset(skipped),
                                      static_cast<std::uint32_t>(index_.packetSize(skipped))};
        if (skipped != resumedAt_ && MoviChunks::isThere(file_, demuxer_->stream().index, chunk)) {
            resumedAt_ = skipped;
            nextRead_ = skipped;
            if (demuxer_->seek(index_.timestamp(skipped)))
                return true;
        }
        markLost(skipped);
    }
    nextRead_ = position;
    return false;
}

// Pictures decoded after a lost chunk may lean on the picture it held.
void AviMovie::markLost(int position) {
    lostChunks_.insert(position);
    damaged_ = true;
}

void AviMovie::restamp(AVPacket& packet, int position) const {
    const std::int64_t stamp = index_.timestamp(position);
    if (packet.pts != AV_NOPTS_VALUE && packet.dts != AV_NOPTS_VALUE)
        packet.pts += stamp - packet.dts;
    packet.dts = stamp;
}

std::int64_t AviMovie::displayOf(const AVFrame& frame) {
    std::int64_t display = 0;
    if (frame.best_effort_timestamp != AV_NOPTS_VALUE)
        display = frame.best_effort_timestamp - timestampOffset_;
    else if (lastOutput_)
        display = *lastOutput_ + 1; // the last pictures of a drain carry no time stamp
    else
        display = keyDisplayGuess(seekKey_);
    if (awaitingFirst_) {
        awaitingFirst_ = false;
        const std::int64_t stored = index_.timestamp(index_.keyPosition(seekKey_));
        // Decoders that cannot tell leave every picture marked a key frame.
        seekKeyFalse_ = seekKey_ > 0 && !intraOnly_ && !frame.key_frame;
        keyDisplay_[static_cast<std::size_t>(seekKey_)] = seekKeyFalse_ ? notAKey : display;
        if (seekKey_ > 0 && !seekKeyFalse_)
            keyShift_ = std::max(keyShift_, display - stored);
    }
    lastOutput_ = display;
    return display;
}

bool AviMovie::repeatsAllowed() const {
    const bool dropsFrames = index_.hasGaps() || frameCount_ > index_.frameCount();
    return !intraOnly_ && dropsFrames && !damaged_;
}

MovieError AviMovie::failure(int n) const {
    return frames_.failure(n, truncated_ && inputEnded_);
}

MovieError AviMovie::chunkLost(int n) const {
    return MovieError(file_, n,
                      "damaged data: the chunk the index names for this frame is not there");
}

MovieError AviMovie::outOfRange(int n) const {
    const std::string present = "frames 0 to " + std::to_string(frameCount_ - 1);
    if (truncated_ && n >= frameCount_ && n < facts_.claimedFrames)
        return MovieError(file_, n,
                          "file truncated: the data ends before this frame (" + present +
                              " are present)");
    if (truncated_ && n >= frameCount_)
        return MovieError(file_, n,
                          "frame out of range (the movie has " + present +
                              "; the file is truncated: its header promises " +
                              std::to_string(facts_.claimedFrames) + " frames)");
    return MovieError(file_, n, "frame out of range (the movie has " + present + ")");
}

} // namespace media
