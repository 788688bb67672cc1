#pragma once

#include "cli/FrameList.h"
#include "core/NamePattern.h"
#include "core/SizeRequest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class ImageFormat { Bmp, Png, Jpeg };

// What the command line asks for, checked for everything that needs no movie to check.
struct ExtractOptions {
    enum class Mode { Extract, Info, List, Help, Version };

    Mode mode = Mode::Extract;
    std::optional<std::int32_t> start;
    std::optional<std::int32_t> end;
    std::int32_t interval = 1;
    std::optional<FrameList> frames;
    // Times in nanoseconds from the first frame; a time given for the start or the end stands
    // in for the frame number.
    std::optional<std::int64_t> startTime;
    std::optional<std::int64_t> endTime;
    std::vector<std::int64_t> at; // the frames shown at these times
    std::optional<std::int64_t> every;
    bool keyFrames = false;
    std::optional<int> scenes; // the first frame of every shot, found this keenly (1 to 100)
    std::optional<core::NamePattern> names; // unset: <movie>_NNNNN
    std::optional<int> quality;             // JPEG only; unset: 92
    std::string outDir = ".";
    bool outPerMovie = false;
    std::optional<int> jobs; // unset: one per core
    ImageFormat format = ImageFormat::Bmp;
    bool json = false;
    bool keepGoing = false;
    bool noAutorotate = false; // pictures as stored, not turned by the display matrix
    bool squarePixels = false; // pictures stretched to the size their pixels are shown at
    std::optional<core::SizeRequest> size; // pictures resized, as shown
    bool deinterlace = false;              // pictures the decoder marks interlaced
    std::vector<std::string> movies;

    // Throws UsageError naming the offending argument.
    static ExtractOptions parse(const std::vector<std::string_view>& args);
};

} // namespace cli
