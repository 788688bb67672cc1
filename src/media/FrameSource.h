#pragma once

#include "core/BgrImage.h"
#include "core/PixelShape.h"
#include "media/FrameRecord.h"
#include "media/MovieOptions.h"
#include "media/PictureColour.h"
#include "media/PictureOrientation.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace media {

class FrameIndex;

// A movie's frames by number, whatever holds them: the engines behind Movie.
class FrameSource {
public:
    virtual ~FrameSource() = default;

    virtual int frameCount() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual double frameRate() const = 0;
    virtual const std::filesystem::path& file() const = 0;
    virtual bool isPalettised() const = 0;
    // What the pixel values mean, as declared or as assumed.
    virtual PictureColour colour() const = 0;
    virtual std::string containerName() const = 0;
    virtual std::string codecName() const = 0;
    virtual int claimedFrameCount() const = 0;
    virtual bool isTruncated() const = 0;
    virtual int repairedTimeStamps() const { return 0; }
    virtual int lostStretches() const { return 0; }
    virtual std::vector<FrameRecord> frameTable() const = 0;
    // How the pictures are meant to be shown: turned by the display matrix the pictures decoded
    // last carried, or else the stream's; pixels of the stream's shape.
    virtual PictureOrientation orientation() const = 0;
    virtual core::PixelShape sampleAspect() const = 0;
    // The picture as stored. Throws MovieError.
    virtual void frameInto(int n, core::BgrImage& out) = 0;
    virtual void changeOptions(const MovieOptions& options) = 0;
    virtual std::uint64_t complaints() const = 0;
    virtual bool complainedSince(std::uint64_t mark) = 0;
    virtual bool decodesOnFrameThreads() const = 0;
    // The index another reader of the file may share; none where reading it costs nothing.
    virtual std::shared_ptr<const FrameIndex> sharedIndex() const { return nullptr; }
};

} // namespace media
