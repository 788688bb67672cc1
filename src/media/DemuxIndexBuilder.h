#pragma once

#include "media/PacketList.h"

namespace media {

class ContainerDemuxer;

// Lists the video packets by reading the whole stream once, for containers whose tables do
// not list every packet (transport and program streams, Matroska, fragmented MP4).
class DemuxIndexBuilder {
public:
    static PacketList build(ContainerDemuxer& demuxer);
};

} // namespace media
