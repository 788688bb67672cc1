#include "media/FrameIndex.h"

#include <algorithm>

namespace media {

FrameIndex::FrameIndex(PacketList list)
    : packets_(std::move(list.packets)), cutShort_(list.cutShort),
      repairedStamps_(list.repairedStamps), lostStretches_(list.lostStretches) {
    const int count = packetCount();
    for (int i = 0; i < count; ++i) {
        const IndexedPacket& packet = packets_[static_cast<std::size_t>(i)];
        if (packet.shown)
            framePackets_.push_back(i);
        if (packet.key)
            keys_.push_back(i);
        if (packet.pos >= 0)
            byPos_.emplace_back(packet.pos, i);
    }
    // Equal time stamps keep their stored order, so a damaged stream still counts every picture.
    std::stable_sort(framePackets_.begin(), framePackets_.end(), [&](int a, int b) {
        return packets_[static_cast<std::size_t>(a)].pts <
               packets_[static_cast<std::size_t>(b)].pts;
    });
    packetFrames_.assign(static_cast<std::size_t>(count), -1);
    for (int n = 0; n < frameCount(); ++n)
        packetFrames_[static_cast<std::size_t>(framePackets_[static_cast<std::size_t>(n)])] = n;
    std::sort(byPos_.begin(), byPos_.end());
    // Several packets at one offset (laced blocks) cannot be told apart by it.
    for (std::size_t i = 1; i < byPos_.size(); ++i)
        if (byPos_[i].first == byPos_[i - 1].first) {
            byPos_.clear();
            break;
        }
}

const IndexedPacket& FrameIndex::packet(int position) const {
    return packets_[static_cast<std::size_t>(position)];
}

int FrameIndex::startFor(int n) const {
    const int position = packetOf(n);
    const std::int64_t shows = pts(n);
    auto key = std::upper_bound(keys_.begin(), keys_.end(), position);
    while (key != keys_.begin()) {
        --key;
        if (packets_[static_cast<std::size_t>(*key)].pts <= shows)
            return *key;
    }
    // No key frame before it: the decoder makes what it can of the stream's start.
    return 0;
}

int FrameIndex::keyBefore(int position) const {
    const auto key = std::lower_bound(keys_.begin(), keys_.end(), position);
    return key == keys_.begin() ? -1 : *std::prev(key);
}

int FrameIndex::positionAt(std::int64_t pos) const {
    const auto found = std::lower_bound(byPos_.begin(), byPos_.end(), std::make_pair(pos, 0));
    return found != byPos_.end() && found->first == pos ? found->second : -1;
}

} // namespace media
