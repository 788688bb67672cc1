#include "picture/ColourStage.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace picture {

namespace {

constexpr double referenceWhite = 203.0; // cd/m², ITU-R BT.2408
// Tables of 4096 entries stay in the first-level cache: signals by their top 12 bits, light
// (below SDR white) by its square root, fine enough near black.
constexpr int steps = 4096;
constexpr float lastStep = steps - 1;

// SMPTE ST 2084.
constexpr double pqM1 = 2610.0 / 16384.0;
constexpr double pqM2 = 2523.0 / 4096.0 * 128.0;
constexpr double pqC1 = 3424.0 / 4096.0;
constexpr double pqC2 = 2413.0 / 4096.0 * 32.0;
constexpr double pqC3 = 2392.0 / 4096.0 * 32.0;

double pqToNits(double signal) {
    const double p = std::pow(std::clamp(signal, 0.0, 1.0), 1.0 / pqM2);
    return 10000.0 * std::pow(std::max(p - pqC1, 0.0) / (pqC2 - pqC3 * p), 1.0 / pqM1);
}

double nitsToPq(double nits) {
    const double y = std::pow(std::clamp(nits / 10000.0, 0.0, 1.0), pqM1);
    return std::pow((pqC1 + pqC2 * y) / (1.0 + pqC3 * y), pqM2);
}

// ARIB STD-B67 signal to scene light, 0..1.
double hlgToScene(double signal) {
    constexpr double a = 0.17883277;
    constexpr double b = 1.0 - 4.0 * a;
    const double c = 0.5 - a * std::log(4.0 * a);
    signal = std::clamp(signal, 0.0, 1.0);
    return signal <= 0.5 ? signal * signal / 3.0 : (std::exp((signal - c) / a) + b) / 12.0;
}

// SDR light as the BT.1886 display shows it, and back: the signal an SDR BT.709 movie would hold.
double sdrToLinear(double v) {
    return std::pow(v, 2.4);
}

double linearToSdr(double v) {
    return std::pow(v, 1.0 / 2.4);
}

using Matrix = std::array<double, 9>;

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                m[r * 3 + c] += a[r * 3 + k] * b[k * 3 + c];
    return m;
}

Matrix inverse(const Matrix& m) {
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    return {(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det,
            (m[1] * m[5] - m[2] * m[4]) / det, (m[5] * m[6] - m[3] * m[8]) / det,
            (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
            (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det,
            (m[0] * m[4] - m[1] * m[3]) / det};
}

// RGB to XYZ from the primaries' and white's chromaticities (x, y).
Matrix toXyz(const std::array<double, 8>& xy) {
    const Matrix primaries{xy[0] / xy[1],
                           xy[2] / xy[3],
                           xy[4] / xy[5],
                           1.0,
                           1.0,
                           1.0,
                           (1 - xy[0] - xy[1]) / xy[1],
                           (1 - xy[2] - xy[3]) / xy[3],
                           (1 - xy[4] - xy[5]) / xy[5]};
    const double white[3] = {xy[6] / xy[7], 1.0, (1 - xy[6] - xy[7]) / xy[7]};
    const Matrix inv = inverse(primaries);
    double s[3] = {};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k)
            s[r] += inv[r * 3 + k] * white[k];
    Matrix m = primaries;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r * 3 + c] *= s[c];
    return m;
}

std::array<double, 8> chromaticities(int primaries) {
    switch (primaries) {
    case AVCOL_PRI_BT2020:
        return {0.708, 0.292, 0.170, 0.797, 0.131, 0.046, 0.3127, 0.3290};
    case AVCOL_PRI_SMPTE432: // Display P3
        return {0.680, 0.320, 0.265, 0.690, 0.150, 0.060, 0.3127, 0.3290};
    case AVCOL_PRI_SMPTE431: // DCI P3, its own white
        return {0.680, 0.320, 0.265, 0.690, 0.150, 0.060, 0.314, 0.351};
    default:
        return {0.640, 0.330, 0.300, 0.600, 0.150, 0.060, 0.3127, 0.3290};
    }
}

// BT.2390's EETF in PQ signal terms: source light up to `peak` into SDR white's; a Hermite
// spline above the knee.
double eetf(double nits, double peak) {
    const double top = nitsToPq(peak);
    const double e1 = nitsToPq(nits) / top;
    const double maxLum = nitsToPq(referenceWhite) / top;
    const double ks = std::max(0.0, 1.5 * maxLum - 0.5);
    double e2 = e1;
    if (e1 >= ks) {
        const double t = (std::min(e1, 1.0) - ks) / (1.0 - ks);
        const double t2 = t * t;
        const double t3 = t2 * t;
        e2 = (2 * t3 - 3 * t2 + 1) * ks + (t3 - 2 * t2 + t) * (1.0 - ks) +
             (-2 * t3 + 3 * t2) * maxLum;
    }
    return pqToNits(e2 * top);
}

// Tables read by the top bits of a float, exponent and some of the mantissa: steps a fixed share
// of the value, fine near black where the curves are steep. Light is coded to SDR bytes in steps
// of 1/1024 of it, from the darkest light that codes as 1 up to SDR white; the HLG gain goes by
// scene luminance in steps of 1/128.
constexpr float darkest = 0x1p-22f;      // and below: 0
constexpr int droppedBits = 13;          // of the float's 23 bits of mantissa
constexpr float darkestScene = 0x1p-24f; // and below: its gain
constexpr int gainDroppedBits = 16;

template <int Dropped> std::int32_t stepOf(float value) {
    return std::bit_cast<std::int32_t>(value) >> Dropped;
}

// The value in the middle of a step.
template <int Dropped> double middleOf(std::int32_t step) {
    return std::bit_cast<float>((step << Dropped) | (1 << (Dropped - 1)));
}

const std::int32_t firstStep = stepOf<droppedBits>(darkest);
const std::int32_t firstGainStep = stepOf<gainDroppedBits>(darkestScene);

std::vector<std::uint8_t> makeEncodeTable() {
    std::vector<std::uint8_t> table(
        static_cast<std::size_t>(stepOf<droppedBits>(1.0f) - firstStep + 1));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double light =
            std::min(1.0, middleOf<droppedBits>(firstStep + static_cast<std::int32_t>(i)));
        table[i] = static_cast<std::uint8_t>(std::lround(255.0 * linearToSdr(light)));
    }
    return table;
}

const std::vector<std::uint8_t>& encodeTable() {
    static const std::vector<std::uint8_t> table = makeEncodeTable();
    return table;
}

} // namespace

ColourStage::ColourStage(const PictureColour& colour)
    : hlg_(colour.isHlg()), hdr_(colour.isPq() || colour.isHlg()), toLinear_(steps) {
    for (int i = 0; i < steps; ++i) {
        const double signal = (i + 0.5) / steps;
        double light = 0;
        if (colour.isPq())
            light = pqToNits(signal) / referenceWhite;
        else if (hlg_)
            light = hlgToScene(signal);
        else
            light = sdrToLinear(signal);
        toLinear_[static_cast<std::size_t>(i)] = static_cast<float>(light);
    }
    const Matrix source = toXyz(chromaticities(colour.primaries));
    const Matrix gamut = multiply(inverse(toXyz(chromaticities(AVCOL_PRI_BT709))), source);
    for (int i = 0; i < 9; ++i)
        gamut_[static_cast<std::size_t>(i)] =
            static_cast<float>(gamut[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 3; ++i)
        luma_[static_cast<std::size_t>(i)] =
            static_cast<float>(source[static_cast<std::size_t>(3 + i)]);
    if (hlg_) {
        // BT.2100's display transform for a 1000 cd/m² display: gamma 1.2 on scene luminance.
        constexpr double display = 1000.0;
        hlgGain_.resize(
            static_cast<std::size_t>(stepOf<gainDroppedBits>(1.0f) - firstGainStep + 1));
        for (std::size_t i = 0; i < hlgGain_.size(); ++i) {
            const double scene = std::min(
                1.0, middleOf<gainDroppedBits>(firstGainStep + static_cast<std::int32_t>(i)));
            hlgGain_[i] = static_cast<float>(display / referenceWhite * std::pow(scene, 0.2));
        }
    }
}

std::int32_t ColourStage::gainStep(float scene) {
    return stepOf<gainDroppedBits>(std::clamp(scene, darkestScene, 1.0f)) - firstGainStep;
}

double ColourStage::nitsOf(std::uint16_t code) const {
    const double light = toLinear_[code >> 4];
    if (!hlg_)
        return light * referenceWhite;
    return light * hlgGain_[static_cast<std::size_t>(gainStep(static_cast<float>(light)))] *
           referenceWhite;
}

std::uint16_t ColourStage::brightestLuma(const std::uint16_t* g, const std::uint16_t* b,
                                         const std::uint16_t* r, int width) const {
    const std::array<float, 3> luma = luma_;
    float brightest = 0.0f;
    for (int x = 0; x < width; ++x)
        brightest = std::max(brightest, luma[0] * r[x] + luma[1] * g[x] + luma[2] * b[x]);
    return static_cast<std::uint16_t>(std::min(brightest + 0.5f, 65535.0f));
}

void ColourStage::setPeak(double peak) {
    if (!hdr_ || peak == peak_)
        return;
    peak_ = peak;
    std::fill(scale_.begin(), scale_.end(), 1.0f);
    toneTop_ = 1e30f;
    knee_ = 0.0f;
    toneStep_ = 0.0f;
    if (peak <= referenceWhite)
        return; // light stays within SDR white: no curve
    const double top = nitsToPq(peak);
    const double ks = std::max(0.0, 1.5 * nitsToPq(referenceWhite) / top - 0.5);
    const double knee = pqToNits(ks * top) / referenceWhite;
    const double end = peak / referenceWhite;
    knee_ = static_cast<float>(knee);
    toneStep_ = static_cast<float>(toneSteps / (end - knee));
    toneTop_ = static_cast<float>(eetf(peak, peak) / referenceWhite);
    // Entry i holds the scale at the middle of its step, so the nearest entry is the one read.
    for (int i = 1; i <= toneSteps; ++i) {
        const double light = knee + (end - knee) * (i - 0.5) / toneSteps;
        scale_[static_cast<std::size_t>(i)] =
            static_cast<float>(eetf(light * referenceWhite, peak) / referenceWhite / light);
    }
}

void ColourStage::mapRow(const std::uint16_t* gs, const std::uint16_t* bs, const std::uint16_t* rs,
                         int width, std::uint8_t* bgr) const {
    for (int x = 0; x < width; x += strip)
        mapStrip(gs + x, bs + x, rs + x, std::min(strip, width - x), bgr + std::ptrdiff_t{3} * x);
}

// Table reads stay scalar loops of their own; the arithmetic between them runs over whole strips
// of a fixed length, which the compiler turns into vector code.
void ColourStage::mapStrip(const std::uint16_t* gs, const std::uint16_t* bs,
                           const std::uint16_t* rs, int count, std::uint8_t* bgr) const {
    alignas(32) float r[strip];
    alignas(32) float g[strip];
    alignas(32) float b[strip];
    std::fill(r + count, r + strip, 0.0f); // a row's last strip: black past its end
    std::fill(g + count, g + strip, 0.0f);
    std::fill(b + count, b + strip, 0.0f);
    alignas(32) float k[strip];
    alignas(32) std::int32_t at[3][strip];
    const float* const lin = toLinear_.data();
    for (int i = 0; i < count; ++i) {
        r[i] = lin[rs[i] >> 4];
        g[i] = lin[gs[i] >> 4];
        b[i] = lin[bs[i] >> 4];
    }
    if (hlg_) {
        const std::array<float, 3> luma = luma_;
        for (int i = 0; i < strip; ++i)
            at[0][i] = gainStep(luma[0] * r[i] + luma[1] * g[i] + luma[2] * b[i]);
        const float* const gain = hlgGain_.data();
        for (int i = 0; i < strip; ++i)
            k[i] = gain[at[0][i]];
        for (int i = 0; i < strip; ++i) {
            r[i] *= k[i];
            g[i] *= k[i];
            b[i] *= k[i];
        }
    }
    const std::array<float, 9> m = gamut_;
    const float knee = knee_;
    const float toneStep = toneStep_;
    for (int i = 0; i < strip; ++i) {
        const float outR = std::max(0.0f, m[0] * r[i] + m[1] * g[i] + m[2] * b[i]);
        const float outG = std::max(0.0f, m[3] * r[i] + m[4] * g[i] + m[5] * b[i]);
        const float outB = std::max(0.0f, m[6] * r[i] + m[7] * g[i] + m[8] * b[i]);
        r[i] = outR;
        g[i] = outG;
        b[i] = outB;
        // Entry 0 (a scale of 1) below the knee, the last one from the picture's peak on.
        const float largest = std::max(outR, std::max(outG, outB));
        const float position =
            std::clamp((largest - knee) * toneStep + 1.0f, 0.0f, float{toneSteps});
        at[0][i] = static_cast<std::int32_t>(position);
    }
    const float* const scale = scale_.data();
    for (int i = 0; i < strip; ++i)
        k[i] = scale[at[0][i]];
    const float top = toneTop_;
    for (int i = 0; i < strip; ++i) {
        const float red = r[i];
        const float green = g[i];
        const float blue = b[i];
        const float largest = std::max(red, std::max(green, blue));
        // Past the peak the light is brought to the curve's top, whatever it was.
        const float s = std::min(k[i], top / std::max(largest, 1e-20f));
        at[0][i] = stepOf<droppedBits>(std::clamp(red * s, darkest, 1.0f)) - firstStep;
        at[1][i] = stepOf<droppedBits>(std::clamp(green * s, darkest, 1.0f)) - firstStep;
        at[2][i] = stepOf<droppedBits>(std::clamp(blue * s, darkest, 1.0f)) - firstStep;
    }
    const std::uint8_t* const encode = encodeTable().data();
    for (int i = 0; i < count; ++i, bgr += 3) {
        bgr[0] = encode[at[2][i]];
        bgr[1] = encode[at[1][i]];
        bgr[2] = encode[at[0][i]];
    }
}

} // namespace picture
