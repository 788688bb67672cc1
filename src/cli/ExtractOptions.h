#pragma once

#include "cli/FrameList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class ImageFormat { Bmp, Png };

// What the command line asks for, checked for everything that needs no movie to check.
struct ExtractOptions {
    enum class Mode { Extract, Info, List, Help };

    Mode mode = Mode::Extract;
    std::optional<std::int32_t> start;
    std::optional<std::int32_t> end;
    std::int32_t interval = 1;
    std::optional<FrameList> frames;
    std::string outDir = ".";
    bool outPerMovie = false;
    std::optional<int> jobs; // unset: one per core
    ImageFormat format = ImageFormat::Bmp;
    bool json = false;
    bool keepGoing = false;
    bool noAutorotate = false; // pictures as stored, not turned by the display matrix
    bool squarePixels = false; // pictures stretched to the size their pixels are shown at
    std::vector<std::string> movies;

    // Throws UsageError naming the offending argument.
    static ExtractOptions parse(const std::vector<std::string_view>& args);
};

} // namespace cli
