#include "media/DemuxIndexBuilder.h"

#include "media/ContainerDemuxer.h"
#include "media/MovieError.h"

#include <algorithm>
#include <new>
#include <string_view>

namespace media {

namespace {

// MPEG-1/2 and MPEG-4 part 2 show a B-picture at once and hold every other picture back until
// the next reference arrives. Their picture type sits right after the picture start code.
bool isDelayedByOne(AVCodecID codec) {
    return codec == AV_CODEC_ID_MPEG1VIDEO || codec == AV_CODEC_ID_MPEG2VIDEO ||
           codec == AV_CODEC_ID_MPEG4;
}

bool isBPicture(AVCodecID codec, const AVPacket& packet) {
    const std::uint8_t picture = codec == AV_CODEC_ID_MPEG4 ? 0xB6 : 0x00;
    for (int i = 0; i + 5 < packet.size; ++i) {
        const std::uint8_t* p = packet.data + i;
        if (p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != picture)
            continue;
        if (codec == AV_CODEC_ID_MPEG4)
            return (p[4] >> 6) == 2;
        return ((p[5] >> 3) & 7) == 3;
    }
    return false;
}

// VP8 and VP9 store hidden reference pictures in packets of their own in some files; such a
// packet is no frame. A VP9 superframe (index in its last byte) ends with the picture it shows.
bool showsPicture(AVCodecID codec, const AVPacket& packet) {
    if (packet.size < 1)
        return true;
    const std::uint8_t first = packet.data[0];
    if (codec == AV_CODEC_ID_VP8)
        return (first & 0x10) != 0;
    if (codec != AV_CODEC_ID_VP9 || (packet.data[packet.size - 1] & 0xE0) == 0xC0)
        return true;
    const int profile = ((first >> 5) & 1) | (((first >> 4) & 1) << 1);
    const int showExisting = profile == 3 ? 2 : 3; // bit below the profile (and reserved) bits
    if ((first >> showExisting) & 1)
        return true;
    return (first >> (showExisting - 2)) & 1; // after frame_type
}

IndexedPacket describe(const AVPacket& packet, AVCodecID codec) {
    IndexedPacket entry;
    entry.dts = packet.dts;
    entry.pts = packet.pts;
    entry.stamped = packet.pts != AV_NOPTS_VALUE;
    // A packet that does not start a block of a program or transport stream carries guessed
    // time stamps; for these codecs the guess is wrong for reference pictures.
    if (packet.pos < 0 && isDelayedByOne(codec))
        entry.pts = isBPicture(codec, packet) ? packet.dts : AV_NOPTS_VALUE;
    entry.pos = packet.pos;
    entry.size = packet.size;
    entry.key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    entry.shown = (packet.flags & AV_PKT_FLAG_DISCARD) == 0 && showsPicture(codec, packet);
    return entry;
}

// Pictures show in the order they are stored, or the stream says where they differ.
bool showsInDecodeOrder(const AVStream& stream) {
    const AVCodecID codec = stream.codecpar->codec_id;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec);
    return descriptor == nullptr || !(descriptor->props & AV_CODEC_PROP_REORDER) ||
           (descriptor->props & AV_CODEC_PROP_INTRA_ONLY) || isDelayedByOne(codec);
}

// A reference picture shows after the pictures that follow it in decode order and show at once
// (pts equal to dts); so where a stream packs several pictures into one stamped block, an
// unstamped reference picture shows when the next reference is decoded.
bool isReference(const IndexedPacket& packet) {
    return packet.pts == AV_NOPTS_VALUE || packet.pts > packet.dts;
}

void fillDecodeTimes(std::vector<IndexedPacket>& packets) {
    std::int64_t last = 0;
    for (IndexedPacket& packet : packets) {
        if (packet.dts == AV_NOPTS_VALUE)
            packet.dts = packet.pts != AV_NOPTS_VALUE ? packet.pts : last + 1;
        last = packet.dts;
    }
}

void fillPresentationTimes(std::vector<IndexedPacket>& packets) {
    const std::size_t count = packets.size();
    std::int64_t latest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        IndexedPacket& packet = packets[i];
        if (packet.pts == AV_NOPTS_VALUE) {
            std::size_t next = i + 1;
            while (next < count && !isReference(packets[next]))
                ++next;
            // The last reference shows after every picture decoded behind it.
            const std::int64_t step = i > 0 ? packet.dts - packets[i - 1].dts : 1;
            packet.pts =
                next < count ? packets[next].dts : std::max(latest, packets.back().dts) + step;
        }
        latest = std::max(latest, packet.pts);
    }
}

// The order pictures show in, as far as the bitstream fixes it: decode order where pictures are
// not reordered; for MPEG-1/2 and MPEG-4 part 2, by picture type (a B-picture shows at once, a
// reference when the next reference arrives). Empty where only time stamps tell.
std::vector<int> displayOrder(const std::vector<IndexedPacket>& packets,
                              const std::vector<bool>& bPictures, const AVStream& stream) {
    const AVCodecID codec = stream.codecpar->codec_id;
    std::vector<int> order;
    if (isDelayedByOne(codec)) {
        int waiting = -1;
        for (int i = 0; i < static_cast<int>(packets.size()); ++i) {
            if (!packets[static_cast<std::size_t>(i)].shown)
                continue;
            if (bPictures[static_cast<std::size_t>(i)]) {
                order.push_back(i);
                continue;
            }
            if (waiting >= 0)
                order.push_back(waiting);
            waiting = i;
        }
        if (waiting >= 0)
            order.push_back(waiting);
    } else if (showsInDecodeOrder(stream)) {
        for (int i = 0; i < static_cast<int>(packets.size()); ++i)
            if (packets[static_cast<std::size_t>(i)].shown)
                order.push_back(i);
    }
    return order;
}

// The positions in `order` whose stamps rise with it (the longest such run), so that the few
// that do not are the damaged ones.
std::vector<bool> risingStamps(const std::vector<IndexedPacket>& packets,
                               const std::vector<int>& order) {
    const std::size_t count = order.size();
    std::vector<int> tails; // tails[k]: index in order of the smallest end of a run of k + 1
    std::vector<int> before(count, -1);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t pts = packets[static_cast<std::size_t>(order[i])].pts;
        const auto at =
            std::lower_bound(tails.begin(), tails.end(), pts, [&](int t, std::int64_t v) {
                return packets[static_cast<std::size_t>(order[static_cast<std::size_t>(t)])].pts <
                       v;
            });
        if (at != tails.begin())
            before[i] = *std::prev(at);
        if (at == tails.end())
            tails.push_back(static_cast<int>(i));
        else
            *at = static_cast<int>(i);
    }
    std::vector<bool> rising(count, false);
    for (int i = tails.empty() ? -1 : tails.back(); i >= 0; i = before[static_cast<std::size_t>(i)])
        rising[static_cast<std::size_t>(i)] = true;
    return rising;
}

// Where the bitstream fixes the order pictures show in, a stamp out of that order is damaged:
// it gets a time between its neighbours' rather than moving its picture. Many such stamps are
// no damage but a clock that restarts, and stay.
void repairStampsByOrder(std::vector<IndexedPacket>& packets, const std::vector<int>& order,
                         std::vector<bool>& repaired) {
    const std::vector<bool> rising = risingStamps(packets, order);
    const std::size_t count = order.size();
    const auto damaged = static_cast<std::size_t>(std::count(rising.begin(), rising.end(), false));
    if (damaged == 0 || damaged > std::max<std::size_t>(1, count / 20))
        return;
    const auto ptsAt = [&](std::size_t i) -> std::int64_t& {
        return packets[static_cast<std::size_t>(order[i])].pts;
    };
    std::int64_t step = 1;
    for (std::size_t i = 1; i < count; ++i)
        if (rising[i] && rising[i - 1] && ptsAt(i) > ptsAt(i - 1)) {
            step = ptsAt(i) - ptsAt(i - 1);
            break;
        }
    for (std::size_t i = 0; i < count;) {
        if (rising[i]) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < count && !rising[end])
            ++end;
        const auto run = static_cast<std::int64_t>(end - i + 1);
        const bool hasBefore = i > 0;
        const bool hasAfter = end < count;
        const std::int64_t first = hasBefore ? ptsAt(i - 1) : ptsAt(end) - run * step;
        const std::int64_t last = hasAfter ? ptsAt(end) : ptsAt(i - 1) + run * step;
        for (std::size_t k = i; k < end; ++k) {
            ptsAt(k) = first + (last - first) * static_cast<std::int64_t>(k - i + 1) / run;
            repaired[static_cast<std::size_t>(order[k])] = true;
        }
        i = end;
    }
}

constexpr int around = 8;          // pictures either side a stamp is judged by
constexpr std::int64_t reach = 64; // pictures: no picture shows further from its decoding

std::int64_t median(std::vector<std::int64_t> values) {
    std::nth_element(values.begin(),
                     values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The typical time between pictures decoded around `i`, or 0 where there are too few.
std::int64_t stepAround(const std::vector<IndexedPacket>& packets, int i) {
    const int count = static_cast<int>(packets.size());
    std::vector<std::int64_t> steps;
    for (int k = std::max(1, i - around); k <= std::min(count - 1, i + around); ++k) {
        const std::int64_t step =
            packets[static_cast<std::size_t>(k)].dts - packets[static_cast<std::size_t>(k - 1)].dts;
        if (k != i && k != i + 1 && step > 0)
            steps.push_back(step);
    }
    return steps.size() < 4 ? 0 : median(steps);
}

bool farFrom(std::int64_t value, std::int64_t expected, std::int64_t step) {
    return value - expected > reach * step || expected - value > reach * step;
}

// A decode time far from both of its neighbours' is damaged (a block that carries one stamp
// only takes it for both): it gets the time between theirs.
void repairDecodeTimes(std::vector<IndexedPacket>& packets, std::vector<bool>& repaired) {
    const int count = static_cast<int>(packets.size());
    for (int i = 1; i + 1 < count; ++i) {
        IndexedPacket& packet = packets[static_cast<std::size_t>(i)];
        const std::int64_t before = packets[static_cast<std::size_t>(i - 1)].dts;
        const std::int64_t after = packets[static_cast<std::size_t>(i + 1)].dts;
        const std::int64_t step = stepAround(packets, i);
        if (step > 0 && farFrom(packet.dts, before, step) && farFrom(packet.dts, after, step) &&
            !farFrom(before, after, step)) {
            packet.dts = before + (after - before) / 2;
            repaired[static_cast<std::size_t>(i)] = true;
        }
    }
}

// The time, among those the pictures decoded around `i` leave free, nearest to `expected`; the
// expected time itself where they leave none.
std::int64_t freeTimeNear(const std::vector<IndexedPacket>& packets, int i, std::int64_t expected,
                          std::int64_t step) {
    const int count = static_cast<int>(packets.size());
    std::vector<std::int64_t> shown;
    for (int k = std::max(0, i - 2 * around); k <= std::min(count - 1, i + 2 * around); ++k)
        if (k != i)
            shown.push_back(packets[static_cast<std::size_t>(k)].pts);
    std::sort(shown.begin(), shown.end());
    std::int64_t best = expected;
    std::int64_t bestDistance = -1;
    for (std::size_t k = 1; k < shown.size(); ++k) {
        // Only the free times either side of `expected` can be nearest. Walked to step by step,
        // a gap of hours at a step of one tick (stamps the demuxer guessed) took billions.
        std::int64_t free = shown[k - 1] + step;
        const std::int64_t lastBefore = std::min(expected, shown[k] - step / 2 - 1);
        if (lastBefore > free)
            free += (lastBefore - free) / step * step;
        for (; free + step / 2 < shown[k]; free += step) {
            const std::int64_t distance = free > expected ? free - expected : expected - free;
            if (bestDistance < 0 || distance < bestDistance) {
                best = free;
                bestDistance = distance;
            }
            if (free >= expected)
                break;
        }
    }
    return best;
}

// Elsewhere one presentation time far from those of the pictures decoded around it is
// damaged: it gets the free time near where its decode time puts it.
void repairOutlyingStamps(std::vector<IndexedPacket>& packets, std::vector<bool>& repaired) {
    const int count = static_cast<int>(packets.size());
    for (int i = 0; i < count; ++i) {
        std::vector<std::int64_t> offsets;
        for (int k = std::max(0, i - around); k <= std::min(count - 1, i + around); ++k)
            if (k != i)
                offsets.push_back(packets[static_cast<std::size_t>(k)].pts -
                                  packets[static_cast<std::size_t>(k)].dts);
        const std::int64_t step = stepAround(packets, i);
        if (offsets.size() < 4 || step == 0)
            continue;
        IndexedPacket& packet = packets[static_cast<std::size_t>(i)];
        const std::int64_t expected = packet.dts + median(offsets);
        if (farFrom(packet.pts, expected, step)) {
            packet.pts = freeTimeNear(packets, i, expected, step);
            repaired[static_cast<std::size_t>(i)] = true;
        }
    }
}

// A fragmented MP4 file states every picture's duration, so a jump in decode times is a run of
// pictures lost: a damaged fragment the demuxer skipped without a word.
int lostStretches(const std::vector<IndexedPacket>& packets, const ContainerDemuxer& demuxer) {
    if (!std::string_view(demuxer.context().iformat->name).starts_with("mov,") ||
        packets.size() < 3)
        return 0;
    std::vector<std::int64_t> steps;
    for (std::size_t i = 1; i < packets.size(); ++i)
        if (packets[i].dts > packets[i - 1].dts)
            steps.push_back(packets[i].dts - packets[i - 1].dts);
    if (steps.empty())
        return 0;
    const std::int64_t step = median(steps);
    constexpr std::int64_t longest = 3; // steps; a variable rate stretches a few pictures
    return static_cast<int>(std::count_if(steps.begin(), steps.end(),
                                          [&](std::int64_t s) { return s > longest * step; }));
}

// A packet that does not start a block of the file is reached by reading from the block before.
void fillSeekPositions(std::vector<IndexedPacket>& packets) {
    std::int64_t last = -1;
    for (IndexedPacket& packet : packets) {
        if (packet.pos >= 0)
            last = packet.pos;
        packet.seekPos = last;
    }
}

// Some demuxers drop a block cut off by the end of the file without a word; the length the
// headers declare then tells. Two frames' grace for rounding and a last frame's duration.
bool endsBeforeDeclared(const std::vector<IndexedPacket>& packets,
                        const ContainerDemuxer& demuxer) {
    const double declared = demuxer.declaredSeconds();
    if (declared <= 0.0 || packets.empty())
        return false;
    const AVStream& stream = demuxer.stream();
    const auto [first, last] = std::minmax_element(
        packets.begin(), packets.end(),
        [](const IndexedPacket& a, const IndexedPacket& b) { return a.pts < b.pts; });
    const double reached = static_cast<double>(last->pts - first->pts) * av_q2d(stream.time_base);
    const double frame = stream.avg_frame_rate.num > 0 ? 1.0 / av_q2d(stream.avg_frame_rate) : 0.1;
    return reached + 3 * frame < declared;
}

} // namespace

PacketList DemuxIndexBuilder::build(ContainerDemuxer& demuxer) {
    const PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    PacketList list;
    std::vector<bool> bPictures;
    bool lastCorrupt = false;
    bool stamped = false;
    const AVCodecID codec = demuxer.stream().codecpar->codec_id;
    while (demuxer.readPacket(*packet)) {
        if (packet->size <= 0)
            continue;
        stamped = stamped || packet->pts != AV_NOPTS_VALUE;
        list.packets.push_back(describe(*packet, codec));
        bPictures.push_back(isDelayedByOne(codec) && isBPicture(codec, *packet));
        lastCorrupt = (packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
    }
    const bool endsInside = !list.packets.empty() && demuxer.fileSize() > 0 &&
                            list.packets.back().pos + list.packets.back().size > demuxer.fileSize();
    // A packet cut off by the end of the file holds no whole picture.
    if (lastCorrupt || endsInside) {
        list.packets.pop_back();
        bPictures.pop_back();
        list.cutShort = true;
    }
    if (!stamped && !list.packets.empty() && !showsInDecodeOrder(demuxer.stream()))
        throw MovieError(demuxer.file(), "the stream carries no presentation times, so the "
                                         "order of its pictures is unknown");
    fillDecodeTimes(list.packets);
    std::vector<bool> repaired(list.packets.size(), false);
    repairDecodeTimes(list.packets, repaired);
    fillPresentationTimes(list.packets);
    const std::vector<int> order = displayOrder(list.packets, bPictures, demuxer.stream());
    if (order.empty())
        repairOutlyingStamps(list.packets, repaired);
    else
        repairStampsByOrder(list.packets, order, repaired);
    list.repairedStamps = static_cast<int>(std::count(repaired.begin(), repaired.end(), true));
    list.lostStretches = lostStretches(list.packets, demuxer);
    fillSeekPositions(list.packets);
    list.cutShort = list.cutShort || endsBeforeDeclared(list.packets, demuxer);
    return list;
}

} // namespace media
