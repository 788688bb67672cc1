#include "picture/PictureResampler.h"

#include "core/BgrImage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>

namespace picture {

namespace {

// Rows a multiple of 64 bytes with room past the last pixel and an extra row: the scaler reads
// and writes whole vector blocks.
int paddedRow(int width) {
    return (width + 64 + 63) & ~63;
}

std::size_t planeSize(int width, int height) {
    return static_cast<std::size_t>(paddedRow(width)) * static_cast<std::size_t>(height + 1);
}

bool hasAlpha(const core::BgrImage& image) {
    return !image.alpha.empty() && image.alpha.size() == static_cast<std::size_t>(image.width) *
                                                             static_cast<std::size_t>(image.height);
}

void makeBlank(core::BgrImage& out, int width, int height, bool alpha) {
    out.width = width;
    out.height = height;
    out.bytes.assign(static_cast<std::size_t>(out.stride()) * static_cast<std::size_t>(height), 0);
    out.palette.clear(); // filtered colours leave any palette
    out.sampleAspect = {};
    out.alpha.assign(alpha ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0,
                     0);
}

// Averages are taken of light, not of code values: a fine black and white pattern shrinks to
// the grey it looks like from afar (188), where averaging code values gives a darker 128. The
// files are shown as sRGB, so its curve is the one undone.
class LightTable {
public:
    LightTable() {
        for (int c = 0; c < 256; ++c)
            linear_[c] = static_cast<float>(toLinear(c / 255.0));
        for (int c = 0; c < 255; ++c)
            halfway_[c] = static_cast<float>(toLinear((c + 0.5) / 255.0));
        halfway_[255] = 2.0f; // beyond all light
        for (std::size_t i = 0; i < start_.size(); ++i) {
            const float bottom =
                std::bit_cast<float>((firstStep + static_cast<std::int32_t>(i)) << droppedBits);
            start_[i] = static_cast<std::uint8_t>(
                std::upper_bound(halfway_, halfway_ + 255, bottom) - halfway_);
        }
    }

    float linear(std::uint8_t code) const { return linear_[code]; }
    // The code whose light lies nearest `light` on the code scale.
    std::uint8_t code(float light) const {
        const int c = start_[static_cast<std::size_t>(stepOf(light))];
        return static_cast<std::uint8_t>(c + (light >= halfway_[c] ? 1 : 0));
    }

    // The same for `count` lights: the steps found in vector code first, for a strip at a time.
    void code(const float* light, int count, std::uint8_t* to) const {
        constexpr int strip = 256;
        std::int32_t steps[strip];
        for (int done = 0; done < count; done += strip) {
            const int n = std::min(strip, count - done);
            for (int i = 0; i < n; ++i)
                steps[i] = stepOf(light[done + i]);
            for (int i = 0; i < n; ++i) {
                const int c = start_[static_cast<std::size_t>(steps[i])];
                to[done + i] =
                    static_cast<std::uint8_t>(c + (light[done + i] >= halfway_[c] ? 1 : 0));
            }
        }
    }

private:
    // The entry of start_ for a light; light above 1 reads the last.
    static std::int32_t stepOf(float light) {
        return (std::bit_cast<std::int32_t>(std::clamp(light, darkest, 1.0f)) >> droppedBits) -
               firstStep;
    }
    static double toLinear(double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }

    // Codes are found from the top bits of the light's float, exponent and 8 bits of mantissa:
    // steps of 1/256 of the light, finer than the codes lie apart (0.9% at the top), so that at
    // most one halfway light lies within a step. Below the darkest, every light codes as 0.
    static constexpr float darkest = 0x1p-13f;
    static constexpr int droppedBits = 15;
    static constexpr std::int32_t firstStep = std::bit_cast<std::int32_t>(darkest) >> droppedBits;
    static constexpr std::int32_t lastStep = std::bit_cast<std::int32_t>(1.0f) >> droppedBits;

    float linear_[256] = {};
    float halfway_[256] = {}; // the light halfway between code c and c + 1
    std::array<std::uint8_t, lastStep - firstStep + 1> start_{}; // the code at a step's bottom
};

const LightTable& lightTable() {
    static const LightTable table;
    return table;
}

} // namespace

// The old pixels along one side that each new pixel covers, and the share each has in it.
struct PictureResampler::Spans {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::size_t> start; // of the new pixel's shares in `shares`
    std::vector<float> shares;
    int whole = 0; // old pixels each new one covers, when all cover the same whole ones

    Spans(int from, int to) {
        if (to > 0 && from % to == 0)
            whole = from / to;
        const double scale = static_cast<double>(from) / to;
        for (int i = 0; i < to; ++i) {
            const double begin = i * scale;
            const double end = std::min<double>((i + 1) * scale, from);
            const int low = static_cast<int>(begin);
            const int high = std::min(from, static_cast<int>(std::ceil(end)));
            first.push_back(low);
            start.push_back(shares.size());
            for (int k = low; k < high; ++k)
                shares.push_back(static_cast<float>(
                    (std::min<double>(end, k + 1) - std::max<double>(begin, k)) / scale));
            count.push_back(high - low);
        }
    }
};

void PictureResampler::resample(const core::BgrImage& in, int width, int height,
                                core::BgrImage& out) {
    makeBlank(out, width, height, hasAlpha(in));
    if (width <= 0 || height <= 0 || in.width <= 0 || in.height <= 0)
        return;
    const int across = std::min(width, in.width);
    const int down = std::min(height, in.height);
    if (across == in.width && down == in.height) {
        grow(in, width, height, out);
    } else if (across == width && down == height) {
        shrink(in, width, height, out);
    } else {
        makeBlank(shrunk_, across, down, hasAlpha(in));
        shrink(in, across, down, shrunk_);
        grow(shrunk_, width, height, out);
    }
}

// Colours are averaged weighted by their alpha, so the colour hidden under a clear pixel does
// not bleed into its neighbours; an area wholly clear keeps its plain average. Each new row is
// averaged down first, over the old rows it covers, then across: the rows are long, so the
// first step runs in vector code, and the second takes one row instead of every old one.
void PictureResampler::shrink(const core::BgrImage& in, int width, int height,
                              core::BgrImage& out) {
    const bool alpha = hasAlpha(in);
    const int values = alpha ? 7 : 3; // colour, then with alpha: colour times alpha, alpha
    const Spans columns(in.width, width);
    const Spans rows(in.height, height);
    const std::size_t inValues = static_cast<std::size_t>(in.width) * values;
    lightRow_.resize(alpha ? inValues : 0);
    down_.resize(inValues);
    sum_.resize(static_cast<std::size_t>(width) * values);
    for (int y = 0; y < height; ++y) {
        const float* share = rows.shares.data() + rows.start[y];
        const int end = rows.first[y] + rows.count[y];
        for (int k = rows.first[y]; k < end; ++k, ++share) {
            if (alpha) {
                lightUp(in, k);
                addDown(*share, k == rows.first[y]);
            } else if (k + 1 < end) { // two rows at once: one pass over down_ for both
                addDownOpaque(in.row(k), share[0], in.row(k + 1), share[1], k == rows.first[y]);
                ++k;
                ++share;
            } else {
                addDownOpaque(in.row(k), share[0], nullptr, 0.0f, k == rows.first[y]);
            }
        }
        if (alpha)
            averageAcross<7>(columns, width);
        else
            averageAcross<3>(columns, width);
        codeRow(y, alpha, out);
    }
}

// Row y of a picture with alpha, in linear light, into lightRow_.
void PictureResampler::lightUp(const core::BgrImage& in, int y) {
    const LightTable& light = lightTable();
    const std::uint8_t* const pixel = in.row(y);
    const std::uint8_t* const opacities = in.alpha.data() + static_cast<std::size_t>(y) * in.width;
    for (int x = 0; x < in.width; ++x) {
        float* const to = lightRow_.data() + static_cast<std::ptrdiff_t>(x) * 7;
        const float opacity = opacities[x] / 255.0f;
        for (int c = 0; c < 3; ++c) {
            to[c] = light.linear(pixel[3 * x + c]);
            to[3 + c] = opacity * to[c];
        }
        to[6] = opacity;
    }
}

// The light of one or two rows of an opaque picture, each times its share, into down_, added to
// what is there unless `first`.
void PictureResampler::addDownOpaque(const std::uint8_t* row, float share,
                                     const std::uint8_t* second, float secondShare, bool first) {
    const LightTable& light = lightTable();
    float* __restrict const down = down_.data();
    const std::size_t count = down_.size();
    if (second == nullptr && first)
        for (std::size_t i = 0; i < count; ++i)
            down[i] = share * light.linear(row[i]);
    else if (second == nullptr)
        for (std::size_t i = 0; i < count; ++i)
            down[i] += share * light.linear(row[i]);
    else if (first)
        for (std::size_t i = 0; i < count; ++i)
            down[i] = share * light.linear(row[i]) + secondShare * light.linear(second[i]);
    else
        for (std::size_t i = 0; i < count; ++i)
            down[i] += share * light.linear(row[i]) + secondShare * light.linear(second[i]);
}

// lightRow_ times `share` into down_, added to what is there unless `first`.
void PictureResampler::addDown(float share, bool first) {
    float* __restrict const down = down_.data();
    const float* __restrict const lit = lightRow_.data();
    const std::size_t count = down_.size();
    if (first)
        for (std::size_t i = 0; i < count; ++i)
            down[i] = share * lit[i];
    else
        for (std::size_t i = 0; i < count; ++i)
            down[i] += share * lit[i];
}

// down_, `Values` a pixel, averaged over the spans of `columns` into sum_.
template <int Values> void PictureResampler::averageAcross(const Spans& columns, int width) {
    float* to = sum_.data();
    if (columns.whole > 0) { // no shares to read: the mean of runs of the same length
        const int n = columns.whole;
        const float share = 1.0f / static_cast<float>(n);
        const float* from = down_.data();
        for (int x = 0; x < width; ++x, to += Values) {
            float sum[Values] = {};
            for (int k = 0; k < n; ++k, from += Values)
                for (int c = 0; c < Values; ++c)
                    sum[c] += from[c];
            for (int c = 0; c < Values; ++c)
                to[c] = share * sum[c];
        }
        return;
    }
    for (int x = 0; x < width; ++x, to += Values) {
        const float* share = columns.shares.data() + columns.start[x];
        const float* from = down_.data() + static_cast<std::size_t>(columns.first[x]) * Values;
        float sum[Values] = {};
        for (int k = 0; k < columns.count[x]; ++k, ++share, from += Values) {
            for (int c = 0; c < Values; ++c)
                sum[c] += *share * from[c];
        }
        for (int c = 0; c < Values; ++c)
            to[c] = sum[c];
    }
}

// sum_ coded into row y of `out`.
void PictureResampler::codeRow(int y, bool alpha, core::BgrImage& out) const {
    const LightTable& light = lightTable();
    std::uint8_t* const row = out.row(y);
    if (!alpha) {
        light.code(sum_.data(), out.width * 3, row);
        return;
    }
    for (int x = 0; x < out.width; ++x) {
        const float* mean = sum_.data() + static_cast<std::size_t>(x) * 7;
        const bool weighted = mean[6] > 0.0f;
        for (int c = 0; c < 3; ++c)
            row[x * 3 + c] = light.code(weighted ? mean[3 + c] / mean[6] : mean[c]);
        out.alpha[static_cast<std::size_t>(y) * out.width + x] =
            static_cast<std::uint8_t>(std::lround(std::clamp(mean[6], 0.0f, 1.0f) * 255.0f));
    }
}

void PictureResampler::grow(const core::BgrImage& in, int width, int height, core::BgrImage& out) {
    const bool withAlpha = hasAlpha(in);
    SwsContext& scaler = scalerFor(in.width, in.height, width, height);
    const int inRow = paddedRow(in.width);
    const int outRow = paddedRow(width);
    plane_.resize(planeSize(in.width, in.height));
    scaled_.resize(planeSize(width, height));
    // Blue, green, red, then the alpha plane where there is one.
    for (int channel = 0; channel < (withAlpha ? 4 : 3); ++channel) {
        const bool isAlpha = channel == 3;
        for (int y = 0; y < in.height; ++y) {
            const std::uint8_t* from =
                isAlpha ? in.alpha.data() + static_cast<std::size_t>(y) * in.width
                        : in.row(y) + channel;
            const int step = isAlpha ? 1 : 3;
            std::uint8_t* to = plane_.data() + static_cast<std::size_t>(y) * inRow;
            for (int x = 0; x < in.width; ++x, from += step)
                to[x] = *from;
        }
        const std::uint8_t* const source[4] = {plane_.data(), nullptr, nullptr, nullptr};
        const int sourceRows[4] = {inRow, 0, 0, 0};
        std::uint8_t* const target[4] = {scaled_.data(), nullptr, nullptr, nullptr};
        const int targetRows[4] = {outRow, 0, 0, 0};
        sws_scale(&scaler, source, sourceRows, 0, in.height, target, targetRows);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* from = scaled_.data() + static_cast<std::size_t>(y) * outRow;
            std::uint8_t* to = isAlpha ? out.alpha.data() + static_cast<std::size_t>(y) * width
                                       : out.row(y) + channel;
            const int step = isAlpha ? 1 : 3;
            for (int x = 0; x < width; ++x, to += step)
                *to = from[x];
        }
    }
}

SwsContext& PictureResampler::scalerFor(int inWidth, int inHeight, int outWidth, int outHeight) {
    const int sizes[4] = {inWidth, inHeight, outWidth, outHeight};
    if (scaler_ && std::memcmp(sizes, sizes_, sizeof sizes) == 0)
        return *scaler_;
    scaler_.reset(sws_getContext(inWidth, inHeight, AV_PIX_FMT_GRAY8, outWidth, outHeight,
                                 AV_PIX_FMT_GRAY8, SWS_LANCZOS | SWS_ACCURATE_RND, nullptr, nullptr,
                                 nullptr));
    if (!scaler_)
        throw std::runtime_error("cannot resize pictures to " + std::to_string(outWidth) + " x " +
                                 std::to_string(outHeight));
    std::memcpy(sizes_, sizes, sizeof sizes);
    return *scaler_;
}

} // namespace picture
