#include "media/FrameIndex.h"

#include <gtest/gtest.h>

namespace {

// An open GOP in decode order: I0 P3 B1 B2 | I6 B4 B5 P9 B7 B8. B4 and B5 are stored after I6
// but shown before it, and are predicted from P3 as well: decoding them from I6 leaves out a
// reference they need.
media::PacketList openGop() {
    media::PacketList list;
    for (const int shows : {0, 3, 1, 2, 6, 4, 5, 9, 7, 8}) {
        media::IndexedPacket packet;
        packet.pts = shows;
        packet.dts = static_cast<std::int64_t>(list.packets.size());
        packet.key = shows % 6 == 0;
        list.packets.push_back(packet);
    }
    return list;
}

TEST(KeyFrameChoice, ALeadingPictureStartsFromTheKeyFrameBeforeItsOwn) {
    const media::FrameIndex index(openGop());
    ASSERT_EQ(index.frameCount(), 10);
    for (const int leading : {4, 5})
        EXPECT_EQ(index.startFor(leading), 0) << "frame " << leading;
    for (const int inGop : {6, 7, 9})
        EXPECT_EQ(index.startFor(inGop), 4) << "frame " << inGop;
}

} // namespace
