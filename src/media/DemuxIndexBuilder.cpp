#include "media/DemuxIndexBuilder.h"

#include "media/ContainerDemuxer.h"
#include "media/MovieError.h"

#include <algorithm>
#include <new>

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
    bool lastCorrupt = false;
    bool stamped = false;
    while (demuxer.readPacket(*packet)) {
        if (packet->size <= 0)
            continue;
        stamped = stamped || packet->pts != AV_NOPTS_VALUE;
        list.packets.push_back(describe(*packet, demuxer.stream().codecpar->codec_id));
        lastCorrupt = (packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
    }
    const bool endsInside = !list.packets.empty() && demuxer.fileSize() > 0 &&
                            list.packets.back().pos + list.packets.back().size > demuxer.fileSize();
    // A packet cut off by the end of the file holds no whole picture.
    if (lastCorrupt || endsInside) {
        list.packets.pop_back();
        list.cutShort = true;
    }
    if (!stamped && !list.packets.empty() && !showsInDecodeOrder(demuxer.stream()))
        throw MovieError(demuxer.file(), "the stream carries no presentation times, so the "
                                         "order of its pictures is unknown");
    fillDecodeTimes(list.packets);
    fillPresentationTimes(list.packets);
    fillSeekPositions(list.packets);
    list.cutShort = list.cutShort || endsBeforeDeclared(list.packets, demuxer);
    return list;
}

} // namespace media
