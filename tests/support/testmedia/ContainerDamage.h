#pragma once

#include <filesystem>
#include <string>

namespace testmedia {

// Broken movies in containers other than AVI, each made from a sound H.264 movie of 36 frames
// (GOP 12) whose pictures carry their numbers.
enum class ContainerDamage {
    Mp4CutBeforeIndex,     // the index written last, the file cut before it
    Mp4WithoutIndex,       // the index box renamed, so no index is found
    Mp4CutInData,          // the index first, the file cut inside the picture data
    MatroskaCutInCluster,  // cut in the middle of a cluster
    TransportLostPackets,  // transport packets dropped inside pictures; time stamps wrap too
    SoundOnly,             // a Matroska file with one sound stream
    SoundWithCover,        // the same with a cover picture attached
    UnknownCodec,          // a Matroska video stream of a codec nobody decodes
    ElementaryStream,      // H.264 with B-frames and no container: its picture order unknown
    Mp4FlippedBits,        // bits flipped in the slice data of one reference picture
    Mp4FlippedKeyFrame,    // the same in the second key frame (frame 12)
    Mp4VariableRateZeroed, // in a movie of a variable rate, stored picture 13 zeroed from a third
                           // on
    // Stream-copied from the middle of a movie, as recordings and cuts are; each holds the
    // pictures from 12 on as its whole frames.
    TransportCutAtKey, // MPEG-2 (open GOPs) from its second I-frame, leading B-frames and all
    MatroskaCutMidGop, // H.264 from a packet in the middle of its first GOP
    // H.264 with open GOPs from its second key frame, its clock starting there: the leading
    // pictures (stored after the key frame, shown before it, refer to the GOP before) carry no
    // time, as a muxer leaves times before the start.
    MatroskaOpenGopUnstamped,
    // H.264 (GOP 250) cut at the transport packet that starts stored picture 20, 9.2 s before
    // its next key frame (frame 250 of 260): further than a first probe reads.
    TransportCutLongBeforeKey,
    // One block's presentation time moved to 6199 s in a movie of 1.44 s (stored picture 20).
    TransportStampFar,     // MPEG-2: picture types fix the order pictures show in
    TransportStampFarH264, // H.264: only the time stamps around it tell
    FragmentLost,          // fragmented MP4 whose second fragment header is unreadable
    Mp4FalseKeyFrame,      // the index's last key frame moved to the predicted picture after it
    MovGarbledLastFrame,   // ProRes in QuickTime, the last picture's header overwritten
    // Two blocks' times (stored pictures 20 and 22) moved 2^50 ms on, ages beyond any gap a
    // repair could walk tick by tick; H.264 in Matroska, whose times run to 64 bits.
    MatroskaStampsAgesAway,
};

std::string damageName(ContainerDamage damage);

// Written once per process; the path of the broken file.
std::filesystem::path damagedContainerMovie(ContainerDamage damage);

// The frame whose picture Mp4FlippedBits damaged: the first after the second key frame in
// stored order, a predicted picture others refer to.
int flippedBitsFrame();

} // namespace testmedia
