#include "support/testmedia/CodecTable.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace testmedia {

namespace {

struct CodecTraits {
    Codec codec;
    const char* name;
    const char* encoder;
    std::array<AVPixelFormat, 2> formats; // preferred first; AV_PIX_FMT_NONE pads
    bool intraOnly;
    bool bFrames;
    bool lossless;
    int sizeStep; // width and height must be multiples of it
};

constexpr AVPixelFormat none = AV_PIX_FMT_NONE;
constexpr bool intra = true;
constexpr bool inter = false;
constexpr bool bFrames = true;
constexpr bool lossless = true;

// clang-format off
constexpr std::array<CodecTraits, 16> traits{{
    {Codec::Mjpeg,        "Mjpeg",        "mjpeg",     {AV_PIX_FMT_YUVJ420P, none},             intra, false,   false,    1},
    {Codec::RawBgr24,     "RawBgr24",     "rawvideo",  {AV_PIX_FMT_BGR24, none},                intra, false,   lossless, 1},
    {Codec::RawPal8,      "RawPal8",      "rawvideo",  {AV_PIX_FMT_PAL8, none},                 intra, false,   lossless, 1},
    {Codec::Mpeg4BFrames, "Mpeg4BFrames", "mpeg4",     {AV_PIX_FMT_YUV420P, none},              inter, bFrames, false,    1},
    {Codec::Mpeg4PackedBFrames, "Mpeg4PackedBFrames", "mpeg4", {AV_PIX_FMT_YUV420P, none},  inter, bFrames, false,    1},
    {Codec::MsVideo1,     "MsVideo1",     "msvideo1",  {AV_PIX_FMT_RGB555LE, none},             inter, false,   false,    4},
    {Codec::Cinepak,      "Cinepak",      "cinepak",   {AV_PIX_FMT_RGB24, none},                inter, false,   false,    4},
    {Codec::HuffYuv,      "HuffYuv",      "huffyuv",   {AV_PIX_FMT_YUV422P, AV_PIX_FMT_RGB24},  intra, false,   lossless, 1},
    {Codec::Ffv1,         "Ffv1",         "ffv1",      {AV_PIX_FMT_YUV420P, none},              intra, false,   lossless, 1},
    {Codec::Zmbv,         "Zmbv",         "zmbv",      {AV_PIX_FMT_BGR0, AV_PIX_FMT_PAL8},      inter, false,   lossless, 1},
    {Codec::Mpeg4Intra,   "Mpeg4Intra",   "mpeg4",     {AV_PIX_FMT_YUV420P, none},              intra, false,   false,    1},
    {Codec::MsMpeg4v2,    "MsMpeg4v2",    "msmpeg4v2", {AV_PIX_FMT_YUV420P, none},              inter, false,   false,    1},
    {Codec::H264,         "H264",         "libx264",   {AV_PIX_FMT_YUV420P, none},              inter, bFrames, false,    2},
    {Codec::H264FullRange10, "H264FullRange10", "libx264", {AV_PIX_FMT_YUV420P10LE, none}, inter, bFrames, false, 2},
    {Codec::Png,          "Png",          "png",       {AV_PIX_FMT_RGB24, none},                intra, false,   lossless, 1},
    {Codec::Utvideo,      "Utvideo",      "utvideo",   {AV_PIX_FMT_GBRP, AV_PIX_FMT_YUV420P},   intra, false,   lossless, 1},
}};
// clang-format on

const CodecTraits& traitsOf(Codec codec) {
    const auto found = std::find_if(traits.begin(), traits.end(),
                                    [codec](const CodecTraits& t) { return t.codec == codec; });
    if (found == traits.end())
        throw std::invalid_argument("unknown codec");
    return *found;
}

bool encoderTakes(const AVCodec* encoder, AVPixelFormat format) {
    if (encoder == nullptr || encoder->pix_fmts == nullptr)
        return true;
    for (const AVPixelFormat* f = encoder->pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
        if (*f == format)
            return true;
    return false;
}

AVPixelFormat pixelFormatFor(const CodecTraits& t) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(t.encoder);
    for (const AVPixelFormat format : t.formats)
        if (format != AV_PIX_FMT_NONE && encoderTakes(encoder, format))
            return format;
    return t.formats.front();
}

// The encoders' 200 kbit/s default leaves large pictures a blur; benchmarks want realistic files.
std::int64_t bitRateFor(const MovieRecipe& movie) {
    const std::int64_t realistic = std::int64_t{movie.width} * movie.height * movie.fps / 4;
    return std::max<std::int64_t>(200'000, realistic);
}

} // namespace

std::vector<Codec> allCodecs() {
    std::vector<Codec> codecs;
    for (const CodecTraits& t : traits)
        codecs.push_back(t.codec);
    return codecs;
}

std::string codecName(Codec codec) {
    return traitsOf(codec).name;
}

bool isIntraOnly(Codec codec) {
    return traitsOf(codec).intraOnly;
}

bool reordersFrames(Codec codec) {
    return traitsOf(codec).bFrames;
}

bool isRgbExact(Codec codec) {
    const CodecTraits& t = traitsOf(codec);
    const AVPixelFormat format = pixelFormatFor(t);
    const bool rgb = format == AV_PIX_FMT_BGR24 || format == AV_PIX_FMT_RGB24 ||
                     format == AV_PIX_FMT_PAL8 || format == AV_PIX_FMT_BGR0 ||
                     format == AV_PIX_FMT_GBRP;
    return t.lossless && rgb;
}

EncoderSettings encoderSettings(const MovieRecipe& movie) {
    const CodecTraits& t = traitsOf(movie.codec);
    EncoderSettings settings;
    settings.encoder = t.encoder;
    settings.pixelFormat = pixelFormatFor(t);
    settings.width = movie.width;
    settings.height = movie.height;
    settings.fps = movie.fps;
    settings.gop = t.intraOnly ? 1 : movie.gop;
    settings.bFrames = t.bFrames ? movie.bFrames : 0;
    settings.sizeStep = t.sizeStep;
    switch (movie.codec) {
    case Codec::RawBgr24:
    case Codec::RawPal8:
        settings.bottomUp = true;
        break;
    case Codec::Mjpeg:
    case Codec::Mpeg4BFrames:
    case Codec::Mpeg4Intra:
        settings.bitRate = bitRateFor(movie);
        break;
    case Codec::Mpeg4PackedBFrames:
        settings.bitRate = bitRateFor(movie);
        settings.packedBFrames = true;
        break;
    case Codec::MsMpeg4v2:
        settings.bitRate = bitRateFor(movie);
        // Its escape codes clip large inter residuals: a cell turning from black to white
        // stays grey unless the encoder may code that block intra.
        settings.options = {{"mbd", "rd"}};
        break;
    case Codec::Cinepak:
        // Its codebook search is slow; one strip and no refinement keep it bearable.
        settings.keyintMin = settings.gop;
        settings.options = {{"max_extra_cb_iterations", "0"}, {"max_strips", "1"}};
        break;
    case Codec::MsVideo1:
        // Its key frames come every keyint_min + 1 frames.
        settings.keyintMin = settings.gop - 1;
        break;
    case Codec::Zmbv:
        settings.keyintMin = settings.gop;
        settings.options = {{"me_range", "2"}, {"compression_level", "1"}};
        break;
    case Codec::H264:
    case Codec::H264FullRange10:
        // Fixed B-frame runs and no scene-cut key frames: the GOP is what the movie asked for.
        settings.options = {{"preset", "veryfast"}, {"x264-params", "scenecut=0:b-adapt=0"}};
        settings.fullRange = movie.codec == Codec::H264FullRange10;
        break;
    default:
        break;
    }
    if (movie.aspectNum > 0)
        settings.options.emplace_back("aspect", std::to_string(movie.aspectNum) + "/" +
                                                    std::to_string(movie.aspectDen));
    return settings;
}

} // namespace testmedia
