#pragma once

#include <cstdint>
#include <vector>

namespace media {

// One packet of the video stream as the container lists it.
struct IndexedPacket {
    std::int64_t pts = 0; // stream time base; the order pictures are shown in
    std::int64_t dts = 0;
    std::int64_t pos = -1;     // byte offset in the file, -1 when unknown
    std::int64_t seekPos = -1; // where reading may start to reach it: pos, or an earlier one
    int size = 0;
    bool key = false;
    bool shown = true;     // false for pictures an edit list cuts
    bool decodable = true; // false for pictures that refer to pictures not in the file
    bool stamped = true;   // false where the container gave no presentation time
};

// The video packets of a movie in decode order, learnt without decoding.
struct PacketList {
    std::vector<IndexedPacket> packets;
    bool cutShort = false;  // the file ends inside its data
    int repairedStamps = 0; // damaged presentation times put right
    int lostStretches = 0;  // runs of pictures the demuxer skipped as damaged, found by their time
};

} // namespace media
