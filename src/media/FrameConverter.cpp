#include "media/FrameConverter.h"

#include "core/BgrImage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace media {

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

bool isJpegFormat(AVPixelFormat format) {
    return plainFormat(format) != format;
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

void clearPadding(core::BgrImage& out) {
    const int used = out.width * 3;
    const int padding = out.stride() - used;
    if (padding == 0)
        return;
    for (int y = 0; y < out.height; ++y)
        std::memset(out.row(y) + used, 0, static_cast<std::size_t>(padding));
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

// A damaged stream may declare a matrix number outside the enumeration; read as an enumerator
// it is undefined behaviour, so it is read as the integer it is stored as.
int colorSpaceOf(const AVFrame& frame) {
    int value = 0;
    static_assert(sizeof value == sizeof frame.colorspace);
    std::memcpy(&value, &frame.colorspace, sizeof value);
    return value >= 0 && value < AVCOL_SPC_NB ? value : AVCOL_SPC_UNSPECIFIED;
}

} // namespace

void FrameConverter::convert(const AVFrame& frame, int width, int height, int paletteSize,
                             core::BgrImage& out) {
    const auto format = static_cast<AVPixelFormat>(frame.format);
    const Source source{frame.width,
                        frame.height,
                        plainFormat(format),
                        isJpegFormat(format) || frame.color_range == AVCOL_RANGE_JPEG,
                        colorSpaceOf(frame),
                        width,
                        height};
    SwsContext& scaler = scalerFor(source);
    prepare(out, width, height);
    std::uint8_t* const planes[4] = {out.bytes.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {out.stride(), 0, 0, 0};
    sws_scale(&scaler, frame.data, frame.linesize, 0, frame.height, planes, strides);
    clearPadding(out);
    copyPalette(frame, paletteSize, out);
}

SwsContext& FrameConverter::scalerFor(const Source& source) {
    if (scaler_ && source == source_)
        return *scaler_;
    scaler_.reset(sws_getContext(
        source.width, source.height, static_cast<AVPixelFormat>(source.format), source.targetWidth,
        source.targetHeight, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr));
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

} // namespace media
