#pragma once

#include <filesystem>
#include <string>

namespace testmedia {

// Broken movies in containers other than AVI, each made from a sound H.264 movie of 36 frames
// (GOP 12) whose pictures carry their numbers.
enum class ContainerDamage {
    Mp4CutBeforeIndex,    // the index written last, the file cut before it
    Mp4WithoutIndex,      // the index box renamed, so no index is found
    Mp4CutInData,         // the index first, the file cut inside the picture data
    MatroskaCutInCluster, // cut in the middle of a cluster
    TransportLostPackets, // transport packets dropped inside pictures; time stamps wrap too
    SoundOnly,            // a Matroska file with one sound stream
    UnknownCodec,         // a Matroska video stream of a codec nobody decodes
    ElementaryStream,     // H.264 with B-frames and no container: its picture order unknown
    Mp4FalseKeyFrame,     // the index's last key frame moved to the predicted picture after it
    MovGarbledLastFrame,  // ProRes in QuickTime, the last picture's header overwritten
};

std::string damageName(ContainerDamage damage);

// Written once per process; the path of the broken file.
std::filesystem::path damagedContainerMovie(ContainerDamage damage);

} // namespace testmedia
