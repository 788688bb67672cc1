#include "core/BgrImage.h"
#include "media/Movie.h"
#include "support/testmedia/ColourChart.h"
#include "support/testmedia/TestMedia.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// QuickTime keeps a raw palettised movie's palette in its sample description, which the
// demuxer hands on with the first packet it reads only; our reads start with a seek. Frames
// are compared with the ffmpeg command line's own decoding, byte for byte.
TEST(ContainerPalette, RawPalettisedMovKeepsItsPalette) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path folder = testmedia::scratchFolder("palette-mov");
    const fs::path movie = folder / "pal.mov";
    const fs::path reference = folder / "pal.bgr";
    ASSERT_TRUE(run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=25 "
                    "-frames:v 3 -pix_fmt pal8 -c:v rawvideo '" +
                    movie.string() + "'"));
    ASSERT_TRUE(run("ffmpeg -nostdin -v error -y -i '" + movie.string() +
                    "' -pix_fmt bgr24 -f rawvideo '" + reference.string() + "'"));
    std::ifstream in(reference, std::ios::binary);
    const std::vector<std::uint8_t> expected{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
    ASSERT_EQ(expected.size(), 3u * 64 * 48 * 3);

    media::Movie clip(movie);
    EXPECT_TRUE(clip.isPalettised());
    for (const int n : {2, 0, 1}) {
        const core::BgrImage image = clip.frame(n);
        EXPECT_EQ(image.palette.size(), 256u) << "frame " << n;
        int wrong = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64 * 3; ++x)
                wrong += image.row(y)[x] !=
                         expected[static_cast<std::size_t>((n * 48 + y) * 64 * 3 + x)];
        EXPECT_EQ(wrong, 0) << "frame " << n;
    }
}

} // namespace
