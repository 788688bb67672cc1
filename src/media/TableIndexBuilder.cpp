#include "media/TableIndexBuilder.h"

#include "media/ContainerDemuxer.h"
#include "media/Mp4CompositionOffsets.h"

#include <string_view>
#include <utility>
#include <vector>

namespace media {

namespace {

bool listsEverySample(const ContainerDemuxer& demuxer) {
    const AVStream& stream = demuxer.stream();
    const std::string_view format = demuxer.context().iformat->name;
    // Fragments add their samples only as they are read.
    return format.starts_with("mov,") && stream.nb_frames > 0 &&
           avformat_index_get_entries_count(&stream) == stream.nb_frames;
}

// Without reordering a picture shows in decode order, so its decode time orders it.
bool showsInDecodeOrder(const AVStream& stream) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(stream.codecpar->codec_id);
    if (descriptor == nullptr)
        return false;
    return !(descriptor->props & AV_CODEC_PROP_REORDER) ||
           (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
}

// A damaged table can place a sample near the top of the position range, where adding its size
// would overflow.
bool endsPastTheFile(const AVIndexEntry& entry, std::int64_t fileSize) {
    return fileSize > 0 && entry.size >= 0 && entry.pos > fileSize - entry.size;
}

} // namespace

std::optional<PacketList> TableIndexBuilder::build(const ContainerDemuxer& demuxer) {
    AVStream& stream = demuxer.stream();
    if (!listsEverySample(demuxer))
        return std::nullopt;
    const int count = avformat_index_get_entries_count(&stream);
    std::vector<std::int64_t> offsets(static_cast<std::size_t>(count), 0);
    if (!showsInDecodeOrder(stream)) {
        std::optional<std::vector<std::int64_t>> stored =
            Mp4CompositionOffsets::read(demuxer.file(), stream.id, count);
        if (!stored)
            return std::nullopt;
        offsets = std::move(*stored);
    }
    PacketList list;
    list.packets.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(&stream, i);
        if (entry == nullptr)
            return std::nullopt;
        if (endsPastTheFile(*entry, demuxer.fileSize())) {
            list.cutShort = true;
            break;
        }
        IndexedPacket packet;
        packet.dts = entry->timestamp;
        packet.pts = entry->timestamp + offsets[static_cast<std::size_t>(i)];
        packet.pos = entry->pos;
        packet.seekPos = entry->pos;
        packet.size = entry->size;
        packet.key = (entry->flags & AVINDEX_KEYFRAME) != 0;
        packet.shown = (entry->flags & AVINDEX_DISCARD_FRAME) == 0;
        list.packets.push_back(packet);
    }
    return list;
}

} // namespace media
