#pragma once

#include "core/BgrImage.h"
#include "media/FrameRecord.h"
#include "media/MovieOptions.h"
#include "media/PictureColour.h"

#include <filesystem>
#include <string>
#include <vector>

namespace media {

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
    virtual std::vector<FrameRecord> frameTable() const = 0;
    // Throws MovieError.
    virtual void frameInto(int n, core::BgrImage& out) = 0;
    virtual void changeOptions(const MovieOptions& options) = 0;
};

} // namespace media
