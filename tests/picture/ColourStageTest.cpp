#include "picture/ColourStage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace colourtest {

// The stage's maths in double precision, from the published constants: the matrix from BT.2020
// to BT.709 primaries (BT.2087's, to more places), BT.2100's luma weights, ST 2084, ARIB STD-B67
// and BT.2390's EETF.
constexpr double sdrWhite = 203.0;
constexpr double toBt709[9] = {1.660491002108,  -0.587641138789, -0.07284986332,
                               -0.124550474522, 1.132899897126,  -0.008349422604,
                               -0.018150763355, -0.100578898008, 1.118729661363};
constexpr double luma2020[3] = {0.2627, 0.6780, 0.0593};

double pqNits(double e) {
    const double p = std::pow(e, 32.0 / 2523.0);
    return 10000.0 *
           std::pow(std::max(p - 0.8359375, 0.0) / (18.8515625 - 18.6875 * p), 8192.0 / 1305.0);
}

double pqSignal(double nits) {
    const double y = std::pow(nits / 10000.0, 1305.0 / 8192.0);
    return std::pow((0.8359375 + 18.8515625 * y) / (1.0 + 18.6875 * y), 2523.0 / 32.0);
}

double hlgScene(double e) {
    const double a = 0.17883277;
    const double b = 1.0 - 4.0 * a;
    const double c = 0.5 - a * std::log(4.0 * a);
    return e <= 0.5 ? e * e / 3.0 : (std::exp((e - c) / a) + b) / 12.0;
}

// Light (1: SDR sdrWhite) from `nits` up to the peak into SDR sdrWhite's range.
double eetf(double light, double peak) {
    const double top = pqSignal(peak);
    const double e1 = std::min(1.0, pqSignal(light * sdrWhite) / top);
    const double most = pqSignal(sdrWhite) / top;
    const double ks = 1.5 * most - 0.5;
    if (e1 < ks)
        return light;
    const double t = (e1 - ks) / (1.0 - ks);
    const double e2 = (2 * t * t * t - 3 * t * t + 1) * ks +
                      (t * t * t - 2 * t * t + t) * (1 - ks) + (-2 * t * t * t + 3 * t * t) * most;
    return pqNits(e2 * top) / sdrWhite;
}

enum class Light { sdr, pq, hlg };

// The byte the stage should write for one BT.2020 channel of each pixel, before rounding.
std::array<double, 3> expected(Light kind, double peak, std::uint16_t r, std::uint16_t g,
                               std::uint16_t b) {
    double rgb[3] = {r / 65535.0, g / 65535.0, b / 65535.0};
    for (double& v : rgb)
        v = kind == Light::pq    ? pqNits(v) / sdrWhite
            : kind == Light::hlg ? hlgScene(v)
                                 : std::pow(v, 2.4);
    if (kind == Light::hlg) {
        const double y = luma2020[0] * rgb[0] + luma2020[1] * rgb[1] + luma2020[2] * rgb[2];
        for (double& v : rgb)
            v *= 1000.0 / sdrWhite * std::pow(std::clamp(y, 0.0, 1.0), 0.2);
    }
    double out[3] = {};
    for (int row = 0; row < 3; ++row)
        out[row] = std::max(0.0, toBt709[3 * row] * rgb[0] + toBt709[3 * row + 1] * rgb[1] +
                                     toBt709[3 * row + 2] * rgb[2]);
    const double largest = std::max({out[0], out[1], out[2]});
    const double scale = kind != Light::sdr && peak > sdrWhite && largest > 0.0
                             ? eetf(largest, peak) / largest
                             : 1.0;
    return {255.0 * std::pow(std::min(1.0, out[2] * scale), 1 / 2.4),
            255.0 * std::pow(std::min(1.0, out[1] * scale), 1 / 2.4),
            255.0 * std::pow(std::min(1.0, out[0] * scale), 1 / 2.4)};
}

struct Misses {
    double largest = 0.0; // levels from the exact value
    double bias = 0.0;    // mean signed distance, levels
};

// A row of every mix of 23 levels a channel (not a whole number of the stage's strips), each
// level in the middle of one of the stage's 12-bit steps, against the exact maths.
Misses missesOf(Light kind, int transfer, double peak) {
    picture::PictureColour colour;
    colour.primaries = AVCOL_PRI_BT2020;
    colour.matrix = AVCOL_SPC_BT2020_NCL;
    colour.transfer = transfer;
    picture::ColourStage stage(colour);
    stage.setPeak(peak);
    std::vector<std::uint16_t> r, g, b;
    for (int i = 0; i < 23; ++i)
        for (int j = 0; j < 23; ++j)
            for (int k = 0; k < 23; ++k) {
                const auto level = [](int n) {
                    return static_cast<std::uint16_t>((n * 4095 / 22) << 4 | 8);
                };
                r.push_back(level(i));
                g.push_back(level(j));
                b.push_back(level(k));
            }
    const int width = static_cast<int>(r.size());
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3);
    stage.mapRow(g.data(), b.data(), r.data(), width, bgr.data());
    Misses misses;
    for (std::size_t x = 0; x < r.size(); ++x) {
        const std::array<double, 3> want = expected(kind, peak, r[x], g[x], b[x]);
        for (std::size_t c = 0; c < 3; ++c) {
            const double miss = bgr[3 * x + c] - want[c];
            misses.largest = std::max(misses.largest, std::abs(miss));
            misses.bias += miss;
        }
    }
    misses.bias /= 3.0 * static_cast<double>(r.size());
    return misses;
}

// Every pixel lands within a level of the exact maths, and the rounding leans neither way: a
// table read one step off, or a row's last strip mapped from the wrong place, shifts it.
TEST(ColourStage, MapsWithinALevelOfTheExactMaths) {
    struct Case {
        const char* name;
        Light kind;
        int transfer;
        double peak;
    };
    for (const Case& c : {Case{"sdr", Light::sdr, AVCOL_TRC_BT2020_10, 0.0},
                          Case{"pq 1000", Light::pq, AVCOL_TRC_SMPTE2084, 1000.0},
                          Case{"pq 4000", Light::pq, AVCOL_TRC_SMPTE2084, 4000.0},
                          Case{"pq 150", Light::pq, AVCOL_TRC_SMPTE2084, 150.0},
                          Case{"hlg 1000", Light::hlg, AVCOL_TRC_ARIB_STD_B67, 1000.0}}) {
        const Misses misses = missesOf(c.kind, c.transfer, c.peak);
        EXPECT_LE(misses.largest, 1.0) << c.name;
        EXPECT_LT(std::abs(misses.bias), 0.012) << c.name;
    }
}

// The light of a grey, which sets the tone curve, to a tenth of a percent: HLG's display gain
// is read from a table by scene luminance, steep near black.
TEST(ColourStage, TellsTheLightOfAGrey) {
    picture::PictureColour colour;
    colour.primaries = AVCOL_PRI_BT2020;
    colour.matrix = AVCOL_SPC_BT2020_NCL;
    colour.transfer = AVCOL_TRC_SMPTE2084;
    const picture::ColourStage pq(colour);
    colour.transfer = AVCOL_TRC_ARIB_STD_B67;
    const picture::ColourStage hlg(colour);
    for (int step = 40; step < 4096; step += 37) {
        const auto code = static_cast<std::uint16_t>(step << 4 | 8);
        const double pqNitsWanted = pqNits(code / 65535.0);
        EXPECT_NEAR(pq.nitsOf(code), pqNitsWanted, 1e-3 * pqNitsWanted) << code;
        const double hlgNitsWanted = 1000.0 * std::pow(hlgScene(code / 65535.0), 1.2);
        EXPECT_NEAR(hlg.nitsOf(code), hlgNitsWanted, 1e-3 * hlgNitsWanted) << code;
    }
}

// A picture's peak is its brightest luma by the primaries' weights, blue's small share
// included: pure blue is BT.2100's 5.93 % of white.
TEST(ColourStage, FindsTheBrightestLumaOfARow) {
    picture::PictureColour colour;
    colour.primaries = AVCOL_PRI_BT2020;
    colour.transfer = AVCOL_TRC_SMPTE2084;
    const picture::ColourStage stage(colour);
    const std::uint16_t dark[3] = {100, 100, 100};
    const std::uint16_t bright[3] = {100, 100, 65535};
    EXPECT_NEAR(stage.brightestLuma(dark, bright, dark, 3), 0.0593 * 65535 + 100 * 0.9407, 2.0);
}

} // namespace colourtest
