#include "core/BgrImage.h"
#include "media/Movie.h"
#include "support/testmedia/ColourChart.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testmedia::ChartCoding;
using testmedia::ChartColour;

// R, G, B of the middle of patch i, away from the edges chroma subsampling blurs.
std::array<int, 3> patchColour(const core::BgrImage& image, int i) {
    const int patchWidth = image.width / 8;
    std::array<int, 3> sum{};
    int count = 0;
    for (int y = image.height / 4; y < image.height * 3 / 4; ++y)
        for (int x = i * patchWidth + patchWidth / 4; x < (i + 1) * patchWidth - patchWidth / 4;
             ++x) {
            const std::uint8_t* pixel = image.row(y) + x * 3;
            sum[0] += pixel[2];
            sum[1] += pixel[1];
            sum[2] += pixel[0];
            ++count;
        }
    return {sum[0] / count, sum[1] / count, sum[2] / count};
}

std::string describe(const std::array<int, 3>& c) {
    return "(" + std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) +
           ")";
}

struct ChartCase {
    const char* name;
    ChartCoding coding;
    int width;
    int height;
    int patches;   // the first n patches are checked
    int tolerance; // levels
};

void PrintTo(const ChartCase& c, std::ostream* out) {
    *out << c.name;
}

class TrueColour : public testing::TestWithParam<ChartCase> {};

// Each coding read back: untagged HD read with BT.601 turns green (0,191,0) into (14,222,4);
// BT.2020 colours left in their primaries are desaturated (cyan (0,191,191) becomes
// (126,184,189)); PQ read as SDR leaves white at 148 and 75 % grey at 129; HLG read as SDR turns
// white grey. The chart was encoded from sRGB; our SDR light is what a BT.1886 display shows,
// so greys read from HDR come out a few levels lighter, which the tolerance allows for. HLG
// checks only the greys: its display transform works on luminance here (BT.2100), while zimg
// applies it to each channel, and the two disagree on saturated colours.
TEST_P(TrueColour, ChartKeepsItsColours) {
    const ChartCase c = GetParam();
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line with zscale";
    media::Movie movie(testmedia::sharedChartMovie(c.coding, c.width, c.height));
    const core::BgrImage image = movie.frame(0);
    const auto& chart = testmedia::chartColours();
    for (int i = 0; i < c.patches; ++i) {
        const ChartColour want = chart[static_cast<std::size_t>(i)];
        const std::array<int, 3> expected{want.r, want.g, want.b};
        const std::array<int, 3> got = patchColour(image, i);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(got[static_cast<std::size_t>(k)], expected[static_cast<std::size_t>(k)],
                        c.tolerance)
                << "patch " << i << " is " << describe(got) << ", chart " << describe(expected);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Media, TrueColour, testing::Values(
    ChartCase{"Hdr10",        ChartCoding::Hdr10,       256, 32, 8, 20},
    ChartCase{"Hlg",          ChartCoding::Hlg,         256, 32, 3, 20},
    ChartCase{"Bt2020Sdr",    ChartCoding::Bt2020Sdr,   256, 32, 8, 15},
    ChartCase{"UntaggedHd",   ChartCoding::Untagged709, 1280, 32, 8, 4},
    ChartCase{"UntaggedTall", ChartCoding::Untagged709, 256, 578, 8, 4},
    ChartCase{"UntaggedSd",   ChartCoding::Untagged601, 1024, 32, 8, 4},
    ChartCase{"MjpegHd",      ChartCoding::Mjpeg,       1280, 32, 8, 6}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A frame with light far above reference white: highlights roll off instead of clipping, white
// gives way a little, mid-tones stay; without a tone curve the highlight and white would both
// clip to 255.
TEST(ToneMapping, HighlightsRollOffAboveWhite) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line with zscale";
    media::Movie movie(testmedia::sharedChartMovie(ChartCoding::Hdr10, 256, 32));
    const core::BgrImage plain = movie.frame(0);
    const core::BgrImage bright = movie.frame(1);
    const auto highlight = patchColour(bright, 7);
    const auto white = patchColour(bright, 0);
    EXPECT_EQ(highlight, (std::array<int, 3>{255, 255, 255}));
    for (const int level : white) {
        EXPECT_LT(level, 245) << "white " << describe(white);
        EXPECT_GT(level, 215) << "white " << describe(white);
    }
    // Mid-grey lies below the curve's knee.
    EXPECT_EQ(patchColour(bright, 2), patchColour(plain, 2));
    // Hue kept: the colours keep the order of their channels, and green stays pure.
    const auto green = patchColour(bright, 3);
    EXPECT_LT(std::max(green[0], green[2]), 16) << describe(green);
}

} // namespace
