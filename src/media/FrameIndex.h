#pragma once

#include "media/PacketList.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace media {

// The frames of a movie in presentation order, each tied to the packet that carries it and to
// the key packet decoding must start from. Frame n is the n-th picture shown, counted from 0.
class FrameIndex {
public:
    FrameIndex() = default;
    explicit FrameIndex(PacketList list);

    int frameCount() const { return static_cast<int>(framePackets_.size()); }
    int packetCount() const { return static_cast<int>(packets_.size()); }
    bool empty() const { return framePackets_.empty(); }
    const IndexedPacket& packet(int position) const;

    // Decode-order position of frame n's packet.
    int packetOf(int n) const { return framePackets_[static_cast<std::size_t>(n)]; }
    // The frame a packet carries, or -1 for a packet that shows nothing.
    int frameOf(int position) const { return packetFrames_[static_cast<std::size_t>(position)]; }
    std::int64_t pts(int n) const { return packets_[static_cast<std::size_t>(packetOf(n))].pts; }
    // The latest key packet from which frame n decodes: at or before its packet and shown no
    // later than it (an open GOP's leading pictures need the key before their own).
    int startFor(int n) const;
    // The key packet before `position`, or -1.
    int keyBefore(int position) const;
    // The packet stored at byte `pos`, or -1.
    int positionAt(std::int64_t pos) const;
    bool allKeys() const { return keys_.size() == packets_.size(); }
    bool isCutShort() const { return cutShort_; }
    // Damaged presentation times put right while the index was built.
    int repairedStamps() const { return repairedStamps_; }
    // Runs of pictures the demuxer skipped as damaged.
    int lostStretches() const { return lostStretches_; }
    // The list it was made from, to make it again elsewhere.
    PacketList packetList() const { return {packets_, cutShort_, repairedStamps_, lostStretches_}; }

private:
    std::vector<IndexedPacket> packets_;
    std::vector<int> framePackets_; // by frame number
    std::vector<int> packetFrames_; // by packet position
    std::vector<int> keys_;         // positions of key packets
    std::vector<std::pair<std::int64_t, int>> byPos_;
    bool cutShort_ = false;
    int repairedStamps_ = 0;
    int lostStretches_ = 0;
};

} // namespace media
