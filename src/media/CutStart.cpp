#include "media/CutStart.h"

#include "media/ContainerDemuxer.h"
#include "media/FfmpegLog.h"
#include "media/VideoDecoder.h"

#include <algorithm>
#include <map>
#include <new>
#include <set>
#include <vector>

namespace media {

namespace {

void hidePacket(IndexedPacket& packet) {
    packet.shown = false;
    packet.decodable = false;
}

void collect(VideoDecoder& decoder, AVFrame& frame, std::set<std::int64_t>& whole) {
    for (int failures = 0; failures < 64;) {
        const VideoDecoder::Status status = decoder.receive(frame);
        if (status == VideoDecoder::Status::Frame) {
            if (!VideoDecoder::isDamaged(frame))
                whole.insert(frame.pts != AV_NOPTS_VALUE ? frame.pts : frame.best_effort_timestamp);
        } else if (status != VideoDecoder::Status::Failed || ++failures >= 64) {
            return;
        }
    }
}

// The positions, from `key` up to `last`, whose pictures the decoder shows undamaged when it
// starts at `key`.
std::set<std::int64_t> wholePictures(const std::vector<IndexedPacket>& packets, int key, int last,
                                     ContainerDemuxer& demuxer) {
    std::set<std::int64_t> whole;
    std::map<std::int64_t, int> byPos;
    for (int i = 0; i < static_cast<int>(packets.size()); ++i)
        if (packets[static_cast<std::size_t>(i)].pos >= 0)
            byPos.emplace(packets[static_cast<std::size_t>(i)].pos, i);
    if (!demuxer.seekTo(packets[static_cast<std::size_t>(key)]))
        return whole;
    FfmpegLog quiet; // what goes wrong here is expected: nothing to report
    VideoDecoder decoder(demuxer.stream(), demuxer.file(), 1, quiet);
    const PacketPtr packet(av_packet_alloc());
    const FramePtr frame(av_frame_alloc());
    if (!packet || !frame)
        throw std::bad_alloc();
    int next = -1; // the position of a packet the container gives no place for
    while (demuxer.readPacket(*packet)) {
        int position = next;
        if (const auto found = byPos.find(packet->pos); packet->pos >= 0 && found != byPos.end())
            position = found->second;
        if (position < 0)
            continue;
        next = position + 1;
        if (position > last)
            break;
        if (position < key || packet->size <= 0)
            continue;
        packet->pts = position;
        packet->dts = AV_NOPTS_VALUE;
        decoder.send(packet.get());
        collect(decoder, *frame, whole);
    }
    decoder.send(nullptr);
    collect(decoder, *frame, whole);
    return whole;
}

// The pictures stored after the key frame at `key` that show before it. A muxer may drop the
// times of those that would show before the cut's start: stored right after the key frame and
// before any picture shown after it, they are its leading pictures all the same.
std::vector<int> leadingPictures(const std::vector<IndexedPacket>& packets, int key) {
    const std::int64_t keyPts = packets[static_cast<std::size_t>(key)].pts;
    std::vector<int> leading;
    bool beforeLater = true; // no picture shown after the key frame stored yet
    for (int i = key + 1; i < static_cast<int>(packets.size()); ++i) {
        const IndexedPacket& packet = packets[static_cast<std::size_t>(i)];
        if (packet.key)
            break;
        if (!packet.shown)
            continue;
        if (packet.stamped ? packet.pts < keyPts : beforeLater)
            leading.push_back(i);
        else
            beforeLater = false;
    }
    return leading;
}

} // namespace

void CutStart::hide(PacketList& list, ContainerDemuxer& demuxer) {
    std::vector<IndexedPacket>& packets = list.packets;
    const auto first = std::find_if(packets.begin(), packets.end(),
                                    [](const IndexedPacket& packet) { return packet.key; });
    if (first == packets.end())
        return; // no key frame at all: the decoder makes what it can of the start
    const int key = static_cast<int>(first - packets.begin());
    std::for_each(packets.begin(), first, hidePacket);
    const std::vector<int> leading = leadingPictures(packets, key);
    if (leading.empty())
        return;
    const std::set<std::int64_t> whole = wholePictures(packets, key, leading.back(), demuxer);
    for (const int i : leading)
        if (!whole.contains(i))
            hidePacket(packets[static_cast<std::size_t>(i)]);
}

} // namespace media
