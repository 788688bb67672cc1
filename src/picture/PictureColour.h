#pragma once

#include <string>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/pixfmt.h>
}

namespace picture {

// What a stream's pixel values mean, in FFmpeg's colour numbers: what the stream declares, and
// for what it leaves out, what players assume. Values are kept as the integers the stream stores,
// as a damaged stream may declare numbers outside FFmpeg's enumerations.
struct PictureColour {
    int matrix = AVCOL_SPC_UNSPECIFIED;
    int range = AVCOL_RANGE_UNSPECIFIED;
    int primaries = AVCOL_PRI_UNSPECIFIED;
    int transfer = AVCOL_TRC_UNSPECIFIED;
    bool matrixAssumed = false;
    bool rangeAssumed = false;
    bool primariesAssumed = false;
    bool transferAssumed = false;

    // The players' rule for what is not declared: BT.709 for pictures wider than 1024 or taller
    // than 576, BT.601 below; JPEG and DV keep their own BT.601 (JPEG in full range) at any size.
    static PictureColour resolve(int matrix, int range, int primaries, int transfer,
                                 AVCodecID codec, AVPixelFormat format, int width, int height);

    bool isPq() const { return transfer == AVCOL_TRC_SMPTE2084; }
    bool isHlg() const { return transfer == AVCOL_TRC_ARIB_STD_B67; }
    // Primaries wider than BT.709's, which are turned into BT.709's in linear light.
    bool isWideGamut() const;
    // Pictures that need linear light: HDR or wide primaries. The others go straight to BGR.
    bool needsLinearLight() const { return isPq() || isHlg() || isWideGamut(); }

    // FFmpeg's names, "unknown (assumed bt709)" where a value was assumed; "pq", "hlg" or "no".
    std::string matrixName() const;
    std::string rangeName() const;
    std::string primariesName() const;
    std::string transferName() const;
    std::string hdrName() const;

    bool operator==(const PictureColour&) const = default;
};

} // namespace picture
