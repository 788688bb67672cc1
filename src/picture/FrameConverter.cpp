#include "picture/FrameConverter.h"

#include "core/BgrImage.h"
#include "picture/ColourStage.h"
#include "picture/RowSplit.h"
#include "picture/StoredEnum.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
}

namespace picture {

namespace {

// The JPEG flavours of YUV only say "full range"; swscale wants the plain format and the range
// given apart (it warns about the old formats).
AVPixelFormat plainFormat(AVPixelFormat format) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        return AV_PIX_FMT_YUV411P;
    default:
        return format;
    }
}

void prepare(core::BgrImage& out, int width, int height) {
    const std::size_t size =
        static_cast<std::size_t>((width * 3 + 3) & ~3) * static_cast<std::size_t>(height);
    if (out.width != width || out.height != height || out.bytes.size() != size) {
        out.width = width;
        out.height = height;
        out.bytes.assign(size, 0);
    }
}

// Room for the blocks of 8 or 16 pixels the fast paths write, rows kept 64-byte aligned for them.
int paddedStride(int width, int bytesPerPixel) {
    return ((((width + 31) & ~31) * bytesPerPixel) + 63) & ~63;
}

// Rows of a band: about 128 KiB, so the band stays in the cache between swscale and the copy; a
// multiple of 16, so no band starts inside a subsampled chroma row.
int bandRows(int stride) {
    return std::max(16, (128 * 1024 / stride) & ~15);
}

// Rows a call may write beyond the source rows it was given so far, were the scaler to hold some
// back for its vertical filter.
constexpr int slackRows = 16;

// How far down plane p of the source lies source row y.
std::ptrdiff_t planeOffset(const AVPixFmtDescriptor& desc, const AVFrame& frame, int plane, int y) {
    const bool chroma = (plane == 1 || plane == 2) && !(desc.flags & AV_PIX_FMT_FLAG_RGB);
    const int row = chroma ? y >> desc.log2_chroma_h : y;
    return static_cast<std::ptrdiff_t>(row) * frame.linesize[plane];
}

// The rows of a band: BGR, or for the colour stage the G, B and R planes of 16-bit values, one
// after the other, each `capacity` rows.
struct Band {
    std::uint8_t* bytes = nullptr;
    int stride = 0;
    int capacity = 0;

    std::uint8_t* plane(int p) const { return bytes + std::ptrdiff_t{p} * capacity * stride; }
    const std::uint16_t* row(int p, int y) const {
        return reinterpret_cast<const std::uint16_t*>(plane(p) + std::ptrdiff_t{y} * stride);
    }
};

double peakOf(const ColourStage& stage, const Band& band, int rows, int width) {
    std::uint16_t brightest = 0;
    for (int y = 0; y < rows; ++y)
        brightest = std::max(
            brightest, stage.brightestLuma(band.row(0, y), band.row(1, y), band.row(2, y), width));
    return stage.nitsOf(brightest);
}

// Rows through the colour stage take `threads` threads.
void copyRows(const Band& band, int first, int count, const ColourStage* stage, int threads,
              core::BgrImage& out) {
    const auto used = static_cast<std::size_t>(out.width) * 3;
    const auto padding = static_cast<std::size_t>(out.stride()) - used;
    splitRows(count, stage != nullptr ? threads : 1, [&](int from, int end) {
        for (int i = from; i < end; ++i) {
            std::uint8_t* const row = out.row(first + i);
            if (stage != nullptr)
                stage->mapRow(band.row(0, i), band.row(1, i), band.row(2, i), out.width, row);
            else
                std::memcpy(row, band.bytes + std::ptrdiff_t{i} * band.stride, used);
            std::memset(row + used, 0, padding);
        }
    });
}

// The alpha channel of a picture that has one, 8 bits a pixel; the colour channels stay as
// stored, never blended.
void copyAlpha(const AVFrame& frame, const AVPixFmtDescriptor& desc, core::BgrImage& out) {
    if (!(desc.flags & AV_PIX_FMT_FLAG_ALPHA) || (desc.flags & AV_PIX_FMT_FLAG_PAL) ||
        frame.width != out.width || frame.height != out.height) {
        out.alpha.clear();
        return;
    }
    const int depth = desc.comp[3].depth;
    const int most = (1 << depth) - 1;
    out.alpha.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    std::vector<std::uint16_t> row(static_cast<std::size_t>(out.width));
    for (int y = 0; y < out.height; ++y) {
        av_read_image_line2(row.data(), const_cast<const std::uint8_t**>(frame.data),
                            frame.linesize, &desc, 0, y, 3, out.width, 0, 2);
        std::uint8_t* const to = out.alpha.data() + static_cast<std::size_t>(y) * out.width;
        for (int x = 0; x < out.width; ++x)
            to[x] = static_cast<std::uint8_t>((row[static_cast<std::size_t>(x)] * 255 + most / 2) /
                                              most);
    }
}

void copyPalette(const AVFrame& frame, int paletteSize, core::BgrImage& out) {
    out.palette.clear();
    if (frame.format != AV_PIX_FMT_PAL8 || frame.data[1] == nullptr)
        return;
    const int count = std::clamp(paletteSize, 1, 256);
    out.palette.resize(static_cast<std::size_t>(count));
    const auto* entries = reinterpret_cast<const std::uint32_t*>(frame.data[1]);
    for (int i = 0; i < count; ++i)
        out.palette[static_cast<std::size_t>(i)] = entries[i] & 0x00FFFFFFu;
}

} // namespace

void FrameConverter::convert(const AVFrame& frame, int width, int height, int paletteSize,
                             core::BgrImage& out, int threads) {
    const auto format = static_cast<AVPixelFormat>(frame.format);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    if (desc == nullptr)
        throw std::runtime_error("cannot convert pictures of an unknown format to BGR");
    const PictureColour colour =
        PictureColour::resolve(storedValueOf(frame.colorspace), storedValueOf(frame.color_range),
                               storedValueOf(frame.color_primaries), storedValueOf(frame.color_trc),
                               codec_, format, frame.width, frame.height);
    const bool linear = colour.needsLinearLight();
    // A sketch a quarter the picture's height or less reads every `skip`-th row only, of every
    // plane: the scaler sees a picture of fewer rows, still averaging each row it reads whole.
    int skip = 1;
    if (!linear && width * 4 <= frame.width && height * 4 <= frame.height &&
        !(desc->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BAYER | AV_PIX_FMT_FLAG_HWACCEL)))
        skip = std::max(1, frame.height / (4 * height));
    const int sourceHeight = frame.height / skip;
    int linesize[4] = {};
    for (int p = 0; p < 4; ++p)
        linesize[p] = frame.linesize[p] * skip;
    const Source source{frame.width,
                        sourceHeight,
                        plainFormat(format),
                        colour.range == AVCOL_RANGE_JPEG,
                        colour.matrix,
                        width,
                        height,
                        linear};
    SwsContext& scaler = scalerFor(source);
    if (linear && (!stage_ || !(stageColour_ == colour))) {
        stage_ = std::make_unique<ColourStage>(colour);
        stageColour_ = colour;
    }
    // HDR is tone-mapped from the picture's own brightest light: the whole picture first.
    const bool hdr = linear && (colour.isPq() || colour.isHlg());
    const ColourStage* stage = linear ? stage_.get() : nullptr;
    prepare(out, width, height);
    // Bands need a scaler that turns each source row into the output row of the same number;
    // one that resizes gets the whole picture at once.
    const bool banded = !hdr && frame.width == width && frame.height == height &&
                        !(desc->flags & AV_PIX_FMT_FLAG_BAYER);
    const int planes = linear ? 3 : 1;
    const int stride = paddedStride(width, linear ? 2 : 3);
    const int rows = banded ? std::min(bandRows(stride * planes), frame.height) : sourceHeight;
    Band band{nullptr, stride, (banded ? rows : height) + slackRows};
    band.bytes = bandFor(stride, band.capacity * planes);
    // Rows a multiple of 16 pixels wide take the fast paths' blocks whole: those go straight into
    // the picture, but for the last band, as a block's spill lands on the row after.
    const int direct = banded && !linear && width % 16 == 0 ? (frame.height - slackRows) & ~15 : 0;
    int done = 0; // output rows written
    for (int y = 0; y < sourceHeight && done < height;) {
        int count = y < direct ? direct : std::min(rows, sourceHeight - y);
        if (y >= direct && y + count - done > band.capacity) { // a lagging scaler: all the rest
            count = sourceHeight - y;
            band.capacity = height - done + slackRows;
            band.bytes = bandFor(stride, band.capacity * planes);
        }
        const std::uint8_t* source[4] = {};
        for (int p = 0; p < 4; ++p)
            if (frame.data[p] != nullptr)
                source[p] = (desc->flags & AV_PIX_FMT_FLAG_PAL) && p == 1
                                ? frame.data[p]
                                : frame.data[p] + planeOffset(*desc, frame, p, y);
        int written = 0;
        if (y < direct) {
            std::uint8_t* const target[4] = {out.row(0), nullptr, nullptr, nullptr};
            const int strides[4] = {static_cast<int>(out.rowStep()), 0, 0, 0};
            written = sws_scale(&scaler, source, linesize, y, count, target, strides);
            if (written < 0 || written > count)
                throw std::runtime_error("cannot convert a picture to BGR");
        } else {
            // Row `done` of the picture lands on the band's first row.
            std::uint8_t* target[4] = {};
            int strides[4] = {};
            for (int p = 0; p < planes; ++p) {
                target[p] = reinterpret_cast<std::uint8_t*>(
                    reinterpret_cast<std::uintptr_t>(band.plane(p)) -
                    static_cast<std::uintptr_t>(done) * static_cast<std::uintptr_t>(stride));
                strides[p] = stride;
            }
            written = sws_scale(&scaler, source, linesize, y, count, target, strides);
            if (written < 0 || written > band.capacity || done + written > height)
                throw std::runtime_error("cannot convert a picture to BGR");
            if (hdr)
                stage_->setPeak(std::min(peakOf(*stage_, band, written, width), peak_));
            copyRows(band, done, written, stage, threads, out);
        }
        done += written;
        y += count;
    }
    copyPalette(frame, paletteSize, out);
    copyAlpha(frame, *desc, out);
}

FrameConverter::FrameConverter() = default;
FrameConverter::~FrameConverter() = default;
FrameConverter::FrameConverter(FrameConverter&&) noexcept = default;
FrameConverter& FrameConverter::operator=(FrameConverter&&) noexcept = default;

void FrameConverter::describeSource(AVCodecID codec, double peak) {
    codec_ = codec;
    peak_ = peak > 0.0 ? std::min(peak, 10000.0) : 10000.0;
    stage_.reset();
}

void FrameConverter::BufferDeleter::operator()(std::uint8_t* bytes) const {
    av_free(bytes);
}

std::uint8_t* FrameConverter::bandFor(int stride, int rows) {
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(rows);
    if (size > bandSize_) {
        band_.reset(static_cast<std::uint8_t*>(av_malloc(size)));
        bandSize_ = band_ ? size : 0;
        if (!band_)
            throw std::runtime_error("out of memory converting a picture");
    }
    return band_.get();
}

SwsContext& FrameConverter::scalerFor(const Source& source) {
    if (scaler_ && source == source_)
        return *scaler_;
    scaler_.reset(sws_getContext(
        source.width, source.height, static_cast<AVPixelFormat>(source.format), source.targetWidth,
        source.targetHeight, source.linear ? AV_PIX_FMT_GBRP16 : AV_PIX_FMT_BGR24, SWS_BILINEAR,
        nullptr, nullptr, nullptr));
    if (!scaler_) {
        const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(source.format));
        throw std::runtime_error(std::string("cannot convert pictures of format ") +
                                 (name != nullptr ? name : "unknown") + " to BGR");
    }
    int* inverseTable = nullptr;
    int* table = nullptr;
    int sourceRange = 0;
    int targetRange = 0;
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    if (sws_getColorspaceDetails(scaler_.get(), &inverseTable, &sourceRange, &table, &targetRange,
                                 &brightness, &contrast, &saturation) >= 0)
        sws_setColorspaceDetails(scaler_.get(), sws_getCoefficients(source.colorSpace),
                                 source.fullRange ? 1 : 0, table, targetRange, brightness, contrast,
                                 saturation);
    source_ = source;
    return *scaler_;
}

} // namespace picture
