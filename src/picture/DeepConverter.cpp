#include "picture/DeepConverter.h"

#include "picture/PictureColour.h"
#include "picture/StoredEnum.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/mastering_display_metadata.h>
#include <libavutil/pixdesc.h>
}

namespace picture {

namespace {

// An N-bit value on the 16-bit scale, its top bits repeated below it.
std::uint16_t widen(std::uint32_t value, int bits) {
    if (bits >= 16)
        return static_cast<std::uint16_t>(value);
    return static_cast<std::uint16_t>(value << (16 - bits) | value >> (2 * bits - 16));
}

bool isPlanarRgb(const AVPixFmtDescriptor& desc) {
    return (desc.flags & AV_PIX_FMT_FLAG_RGB) && (desc.flags & AV_PIX_FMT_FLAG_PLANAR) &&
           desc.comp[0].depth >= 8 && desc.comp[0].depth <= 16;
}

// A chromaticity in units of 0.00002, a luminance in 0.0001 cd/m².
std::uint16_t chromaticity(AVRational value) {
    return static_cast<std::uint16_t>(
        std::clamp<double>(av_q2d(value) * 50000.0 + 0.5, 0.0, 65535.0));
}

std::uint32_t luminance(AVRational value) {
    return static_cast<std::uint32_t>(
        std::clamp<double>(av_q2d(value) * 10000.0 + 0.5, 0.0, 4294967295.0));
}

} // namespace

void DeepConverter::convert(const AVFrame& frame, AVCodecID codec, DeepPicture& out) {
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    if (desc == nullptr)
        throw std::runtime_error("cannot convert pictures of an unknown format to 16-bit RGB");
    out.width = frame.width;
    out.height = frame.height;
    out.rgb.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height) *
                   3);
    if (isPlanarRgb(*desc))
        widenPlanarRgb(frame, out);
    else
        scale(frame, codec, out);
    takeMetadata(frame);
    out.mastering = mastering_;
    out.lightLevel = lightLevel_;
}

void DeepConverter::widenPlanarRgb(const AVFrame& frame, DeepPicture& out) const {
    const AVPixFmtDescriptor& desc = *av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    std::vector<std::uint32_t> values(static_cast<std::size_t>(frame.width));
    const int bits = desc.comp[0].depth;
    for (int y = 0; y < frame.height; ++y) {
        std::uint16_t* row = out.rgb.data() + static_cast<std::size_t>(y) * frame.width * 3;
        for (int c = 0; c < 3; ++c) { // the descriptor lists red, green, blue
            av_read_image_line2(values.data(), const_cast<const std::uint8_t**>(frame.data),
                                frame.linesize, &desc, 0, y, c, frame.width, 0, 4);
            for (int x = 0; x < frame.width; ++x)
                row[x * 3 + c] = widen(values[static_cast<std::size_t>(x)], bits);
        }
    }
}

void DeepConverter::scale(const AVFrame& frame, AVCodecID codec, DeepPicture& out) {
    const auto format = static_cast<AVPixelFormat>(frame.format);
    const PictureColour colour =
        PictureColour::resolve(storedValueOf(frame.colorspace), storedValueOf(frame.color_range),
                               storedValueOf(frame.color_primaries), storedValueOf(frame.color_trc),
                               codec, format, frame.width, frame.height);
    const int fullRange = colour.range == AVCOL_RANGE_JPEG ? 1 : 0;
    const int wanted[5] = {frame.width, frame.height, frame.format, colour.matrix, fullRange};
    if (!scaler_ || !std::equal(std::begin(wanted), std::end(wanted), std::begin(scalerFor_))) {
        scaler_.reset(sws_getContext(
            frame.width, frame.height, format, frame.width, frame.height, AV_PIX_FMT_RGB48,
            SWS_POINT | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT | SWS_FULL_CHR_H_INP, nullptr,
            nullptr, nullptr));
        if (!scaler_)
            throw std::runtime_error(std::string("cannot convert pictures of format ") +
                                     av_get_pix_fmt_name(format) + " to 16-bit RGB");
        sws_setColorspaceDetails(scaler_.get(), sws_getCoefficients(colour.matrix), fullRange,
                                 sws_getCoefficients(colour.matrix), 1, 0, 1 << 16, 1 << 16);
        std::copy(std::begin(wanted), std::end(wanted), std::begin(scalerFor_));
    }
    std::uint8_t* const target[4] = {reinterpret_cast<std::uint8_t*>(out.rgb.data()), nullptr,
                                     nullptr, nullptr};
    const int strides[4] = {frame.width * 6, 0, 0, 0};
    if (sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, target, strides) !=
        frame.height)
        throw std::runtime_error("cannot convert a picture to 16-bit RGB");
}

void DeepConverter::takeMetadata(const AVFrame& frame) {
    if (const AVFrameSideData* data =
            av_frame_get_side_data(&frame, AV_FRAME_DATA_MASTERING_DISPLAY_METADATA)) {
        const auto& display = *reinterpret_cast<const AVMasteringDisplayMetadata*>(data->data);
        if (display.has_primaries && display.has_luminance) {
            DeepPicture::Mastering mastering;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 2; ++j)
                    mastering.chromaticities[i * 2 + j] =
                        chromaticity(display.display_primaries[i][j]);
            mastering.chromaticities[6] = chromaticity(display.white_point[0]);
            mastering.chromaticities[7] = chromaticity(display.white_point[1]);
            mastering.maxLuminance = luminance(display.max_luminance);
            mastering.minLuminance = luminance(display.min_luminance);
            mastering_ = mastering;
        }
    }
    if (const AVFrameSideData* data =
            av_frame_get_side_data(&frame, AV_FRAME_DATA_CONTENT_LIGHT_LEVEL)) {
        const auto& light = *reinterpret_cast<const AVContentLightMetadata*>(data->data);
        lightLevel_ = DeepPicture::LightLevel{light.MaxCLL, light.MaxFALL};
    }
}

} // namespace picture
