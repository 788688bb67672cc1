#pragma once

// Movies of a chart of known sRGB colours, encoded by the ffmpeg command line (its zscale
// filter, zimg inside), so colour tests compare with colours made apart from our decoder.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace testmedia {

enum class ChartCoding {
    Hdr10,       // PQ, BT.2020, reference white at 203 cd/m²; frame 1: a 1000 cd/m² highlight
    Hlg,         // HLG, BT.2020, reference white at 75 % signal
    Bt2020Sdr,   // SDR light, BT.2020 primaries and matrix
    Untagged709, // BT.709 matrix, limited range, no colour tags
    Untagged601, // BT.601 matrix, limited range, no colour tags
    Mjpeg,       // the command line's MJPEG: BT.601, full range
};

struct ChartColour {
    std::uint8_t r = 0, g = 0, b = 0;
};

// The patches, side by side, each a width/8 wide, all of the height: white, 75 % and 50 % grey,
// then colours. HDR frame 1 holds the highlight in place of the last patch.
const std::vector<ChartColour>& chartColours();

// True when the ffmpeg command line is at hand with its zscale filter.
bool canEncodeCharts();

// Written once per process (two frames, FFV1 in Matroska; MJPEG in AVI). Throws
// std::runtime_error when the command line fails.
std::filesystem::path sharedChartMovie(ChartCoding coding, int width, int height);

} // namespace testmedia
