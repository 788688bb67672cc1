#pragma once

#include "core/PixelShape.h"
#include "picture/PictureChain.h"
#include "picture/PictureColour.h"
#include "picture/PictureOrientation.h"

#include <string>

extern "C" {
#include <libavcodec/codec_id.h>
struct AVCodecParameters;
struct AVFormatContext;
struct AVStream;
}

namespace media {

// What a video stream's headers say of its pictures, read once when the movie opens.
struct StreamFacts {
    int width = 0; // as stored; 0 when the headers do not say
    int height = 0;
    core::PixelShape sampleAspect;
    picture::PictureColour colour;
    AVCodecID codec = AV_CODEC_ID_NONE;
    double peak = 0.0; // cd/m²: the most light the stream says it holds, or 0
    bool palettised = false;
    int claimedFrames = 0; // the count the header promises, 0 when it has none
    int pixelFormat = -1;  // an AVPixelFormat as declared; -1 (none) when the headers do not say
    int bitDepth = 0;      // bits of a component of that format; 0 when it is not known
    int fieldOrder = 0;    // an AVFieldOrder as declared; 0 (unknown) when the headers do not say

    static StreamFacts read(AVFormatContext& context, AVStream& stream);
    // The stream's declared colours, read as picture::PictureColour::resolve() reads them.
    static picture::PictureColour colourOf(const AVCodecParameters& parameters);
    // The stream's display matrix, if any.
    static picture::PictureOrientation orientationOf(const AVStream& stream);

    std::string codecName() const;
    // FFmpeg's name of the pixel format ("yuv420p"), or "unknown".
    std::string pixelFormatName() const;
    // The field shown first: "progressive", "tff" (top), "bff" (bottom) or "unknown".
    std::string fieldOrderName() const;
    // The pictures as the picture stages see them, `frameCount` frames of them.
    picture::SourcePictures pictures(int frameCount, int paletteSize = 256) const;
};

} // namespace media
