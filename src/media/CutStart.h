#pragma once

#include "media/PacketList.h"

namespace media {

class ContainerDemuxer;

// A recording stream-copied from the middle of a movie starts with pictures that refer to
// pictures before the cut: those stored before its first key frame, and that key frame's leading
// pictures (stored after it, shown before it) where its GOP is open. A player skips them, and
// they are no frames here either.
class CutStart {
public:
    // Marks such pictures neither shown nor decoded. Leading pictures may also be whole (a
    // closed GOP's): the decoder decodes the first GOP's up to the last of them once, and those
    // it shows undamaged stay.
    static void hide(PacketList& list, ContainerDemuxer& demuxer);
};

} // namespace media
