#include "media/StreamFacts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mastering_display_metadata.h>
#include <libavutil/pixdesc.h>
}

namespace media {

namespace {

// A damaged stream may store a number outside the enumeration: read as the integer it is.
template <typename Enum> int valueOf(const Enum& stored) {
    int value = 0;
    static_assert(sizeof value == sizeof stored);
    std::memcpy(&value, &stored, sizeof value);
    return value;
}

double peakOf(const AVStream& stream) {
    std::size_t size = 0;
    if (const auto* light = reinterpret_cast<const AVContentLightMetadata*>(
            av_stream_get_side_data(&stream, AV_PKT_DATA_CONTENT_LIGHT_LEVEL, &size));
        light != nullptr && size >= sizeof *light && light->MaxCLL > 0)
        return light->MaxCLL;
    if (const auto* mastering = reinterpret_cast<const AVMasteringDisplayMetadata*>(
            av_stream_get_side_data(&stream, AV_PKT_DATA_MASTERING_DISPLAY_METADATA, &size));
        mastering != nullptr && size >= sizeof *mastering && mastering->has_luminance &&
        mastering->max_luminance.den > 0)
        return av_q2d(mastering->max_luminance);
    return 0.0;
}

} // namespace

StreamFacts StreamFacts::read(AVFormatContext& context, AVStream& stream) {
    const AVCodecParameters& parameters = *stream.codecpar;
    StreamFacts facts;
    facts.width = parameters.width;
    facts.height = parameters.height;
    const AVRational aspect = av_guess_sample_aspect_ratio(&context, &stream, nullptr);
    facts.sampleAspect = core::PixelShape::of(aspect.num, aspect.den);
    facts.colour = colourOf(parameters);
    facts.codec = parameters.codec_id;
    facts.peak = peakOf(stream);
    facts.palettised = parameters.format == AV_PIX_FMT_PAL8;
    facts.claimedFrames = static_cast<int>(
        std::clamp<std::int64_t>(stream.nb_frames, 0, std::numeric_limits<int>::max()));
    facts.pixelFormat = parameters.format;
    if (const AVPixFmtDescriptor* format =
            av_pix_fmt_desc_get(static_cast<AVPixelFormat>(parameters.format)))
        facts.bitDepth = format->comp[0].depth;
    facts.fieldOrder = valueOf(parameters.field_order);
    return facts;
}

picture::PictureColour StreamFacts::colourOf(const AVCodecParameters& parameters) {
    return picture::PictureColour::resolve(
        valueOf(parameters.color_space), valueOf(parameters.color_range),
        valueOf(parameters.color_primaries), valueOf(parameters.color_trc), parameters.codec_id,
        static_cast<AVPixelFormat>(parameters.format), parameters.width, parameters.height);
}

picture::PictureOrientation StreamFacts::orientationOf(const AVStream& stream) {
    std::size_t size = 0;
    const std::uint8_t* data = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (data == nullptr || size < 9 * sizeof(std::int32_t))
        return {};
    std::int32_t matrix[9];
    std::memcpy(matrix, data, sizeof matrix);
    return picture::PictureOrientation::fromDisplayMatrix(matrix);
}

std::string StreamFacts::codecName() const {
    return avcodec_get_name(codec);
}

std::string StreamFacts::pixelFormatName() const {
    const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(pixelFormat));
    return name != nullptr ? name : "unknown";
}

std::string StreamFacts::fieldOrderName() const {
    switch (fieldOrder) {
    case AV_FIELD_PROGRESSIVE:
        return "progressive";
    case AV_FIELD_TT: // named by the field shown first, whichever is coded first
    case AV_FIELD_BT:
        return "tff";
    case AV_FIELD_BB:
    case AV_FIELD_TB:
        return "bff";
    default:
        return "unknown";
    }
}

picture::SourcePictures StreamFacts::pictures(int frameCount, int paletteSize) const {
    return {width, height, frameCount, paletteSize, codec, peak};
}

} // namespace media
