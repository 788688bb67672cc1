#include "picture/PictureColour.h"

#include <cstring>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace picture {

namespace {

// 0, 2 and 3 are reserved or "unspecified" in every table.
bool declared(int value, int count) {
    return value > 3 || value == 1 ? value < count : false;
}

bool isJpegCodec(AVCodecID codec) {
    return codec == AV_CODEC_ID_MJPEG || codec == AV_CODEC_ID_MJPEGB ||
           codec == AV_CODEC_ID_LJPEG || codec == AV_CODEC_ID_JPEGLS || codec == AV_CODEC_ID_AMV;
}

bool isJpegFormat(AVPixelFormat format) {
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P ||
           format == AV_PIX_FMT_YUVJ444P || format == AV_PIX_FMT_YUVJ440P ||
           format == AV_PIX_FMT_YUVJ411P;
}

bool isRgbFormat(AVPixelFormat format) {
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    return desc != nullptr && (desc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL));
}

std::string nameOr(const char* name, int value, bool assumed) {
    const std::string text = name != nullptr ? name : "unknown";
    if (assumed)
        return "unknown (assumed " + text + ")";
    return name != nullptr ? text : "unknown (" + std::to_string(value) + ")";
}

} // namespace

PictureColour PictureColour::resolve(int matrix, int range, int primaries, int transfer,
                                     AVCodecID codec, AVPixelFormat format, int width, int height) {
    PictureColour colour;
    const bool jpeg = isJpegCodec(codec) || isJpegFormat(format);
    const bool rgb = isRgbFormat(format);
    const bool high = width > 1024 || height > 576;
    colour.matrixAssumed = !declared(matrix, AVCOL_SPC_NB) && !(rgb && matrix == AVCOL_SPC_RGB);
    if (!colour.matrixAssumed)
        colour.matrix = matrix;
    else if (rgb)
        colour.matrix = AVCOL_SPC_RGB;
    else if (jpeg || codec == AV_CODEC_ID_DVVIDEO || !high)
        colour.matrix = AVCOL_SPC_SMPTE170M;
    else
        colour.matrix = AVCOL_SPC_BT709;
    colour.rangeAssumed = range != AVCOL_RANGE_MPEG && range != AVCOL_RANGE_JPEG;
    colour.range = !colour.rangeAssumed ? range : jpeg || rgb ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    if (isJpegFormat(format)) { // the format itself says full range
        colour.range = AVCOL_RANGE_JPEG;
        colour.rangeAssumed = false;
    }
    const bool matrix2020 =
        colour.matrix == AVCOL_SPC_BT2020_NCL || colour.matrix == AVCOL_SPC_BT2020_CL;
    colour.primariesAssumed = !declared(primaries, AVCOL_PRI_NB);
    colour.primaries = !colour.primariesAssumed ? primaries
                       : matrix2020             ? AVCOL_PRI_BT2020
                                                : AVCOL_PRI_BT709;
    colour.transferAssumed = !declared(transfer, AVCOL_TRC_NB);
    colour.transfer = !colour.transferAssumed ? transfer
                      : matrix2020            ? AVCOL_TRC_BT2020_10
                                              : AVCOL_TRC_BT709;
    return colour;
}

namespace {} // namespace

bool PictureColour::isWideGamut() const {
    return primaries == AVCOL_PRI_BT2020 || primaries == AVCOL_PRI_SMPTE432 ||
           primaries == AVCOL_PRI_SMPTE431;
}

std::string PictureColour::matrixName() const {
    return nameOr(av_color_space_name(static_cast<AVColorSpace>(matrix)), matrix, matrixAssumed);
}

std::string PictureColour::rangeName() const {
    return nameOr(av_color_range_name(static_cast<AVColorRange>(range)), range, rangeAssumed);
}

std::string PictureColour::primariesName() const {
    return nameOr(av_color_primaries_name(static_cast<AVColorPrimaries>(primaries)), primaries,
                  primariesAssumed);
}

std::string PictureColour::transferName() const {
    return nameOr(av_color_transfer_name(static_cast<AVColorTransferCharacteristic>(transfer)),
                  transfer, transferAssumed);
}

std::string PictureColour::hdrName() const {
    return isPq() ? "pq" : isHlg() ? "hlg" : "no";
}

} // namespace picture
