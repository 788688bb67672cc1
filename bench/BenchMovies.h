#pragma once

#include "support/testmedia/TestMedia.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace bench {

// The movies the benchmarks and the comparison script run on, by name.
// mjpeg640: 640x480 MJPEG; mpeg4_720_gop250: 1280x720 MPEG-4, GOP 250, two B-frames;
// h264_720_gop300: 1280x720 H.264, key frames 300 apart, two B-frames; raw640: 640x480
// uncompressed 24-bit.
std::optional<testmedia::MovieRecipe> movieKind(std::string_view kind, int frames);

// A movie of that kind in a scratch folder of this process, written on first use.
const std::filesystem::path& benchMovie(std::string_view kind);
int benchMovieFrames(std::string_view kind);

// "--make-movie KIND OUT [FRAMES]": writes a movie for the comparison script.
int makeMovieCommand(int argc, char** argv);

} // namespace bench
