#pragma once

#include "media/PacketList.h"

#include <optional>

namespace media {

class ContainerDemuxer;

// Lists the video packets from the container's own sample tables, reading no packet data:
// MP4 and QuickTime files list every sample with its place, size and key flag.
class TableIndexBuilder {
public:
    // Nothing when the tables do not list every packet with the times needed.
    static std::optional<PacketList> build(const ContainerDemuxer& demuxer);
};

} // namespace media
