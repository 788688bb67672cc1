#pragma once

#include <cstdint>
#include <string>

namespace media {
class Movie;
}

namespace cli {

class FramePlan;
class ProgressLine;

// Writes the frames of a plan as BMP files named after the movie, into one folder.
class Extractor {
public:
    Extractor(media::Movie& movie, std::string sourceName, std::string outDir);

    // Throws ExtractError for the first frame that cannot be read or written; the files
    // written before it stay, and no later frame is written.
    void run(const FramePlan& plan, ProgressLine& progress);

private:
    std::string fileNameFor(std::int32_t frame) const;

    media::Movie& movie_;
    std::string sourceName_;
    std::string outDir_;
};

} // namespace cli
