#pragma once

#include "cli/FrameChoice.h"
#include "cli/FrameRange.h"
#include "core/NamePattern.h"
#include "core/SizeRequest.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class ImageFormat { Bmp, Png, Jpeg, Raw }; // Raw: bare RGB24, to standard output only

// The format "bmp", "png", "jpg" or "jpeg" names, in any case; nullopt for any other name.
std::optional<ImageFormat> imageFormatNamed(std::string_view name);

// What the command line asks for, checked for everything that needs no movie to check.
struct ExtractOptions {
    enum class Mode { Extract, Info, List, Help, Version };

    // How pictures are shown before they are written.
    struct Picture {
        bool noAutorotate = false;             // as stored, not turned by the display matrix
        bool squarePixels = false;             // stretched to the size their pixels are shown at
        std::optional<core::SizeRequest> size; // resized, as shown
        bool deinterlace = false;              // the frames the decoder marks interlaced
    };

    // A contact sheet's grid: columns x rows tiles a page.
    struct SheetGrid {
        int columns = 0;
        int rows = 0;
    };

    // Where the files go and what they are.
    struct Output {
        std::string folder = ".";
        bool stream = false;   // the pictures one after another to standard output (--out -)
        bool perMovie = false; // each movie's files in a folder named after it
        ImageFormat format = ImageFormat::Bmp;
        std::optional<core::NamePattern> names; // unset: <movie>_NNNNN
        std::optional<int> quality;             // JPEG only; unset: 92
        std::optional<std::string> manifest;    // its file; "-": standard output
        std::optional<SheetGrid> sheet;         // set: one contact sheet a movie (or page)
        std::optional<int> sheetPages;          // unset: 1
        int depth = 8;                          // 16: 16-bit PNG of sources of more than 8 bits
        bool keepHdr = false;                   // PQ and HLG as coded, 16-bit PNG with cICP
    };

    // How the run goes about it.
    struct Run {
        // Each job holds a decoder and a few pictures: about 50 MB at 1920x1080.
        static constexpr int maxJobs = 64;

        std::optional<int> jobs;   // unset: one per core
        bool keepGoing = false;    // past frames that cannot be decoded
        bool json = false;         // the facts of --info as one JSON object
        bool dryRun = false;       // the manifest of what would be written, and nothing else
        bool skipExisting = false; // a frame whose file is there is not decoded again
        std::optional<int> stream; // the N-th video stream, from 0; unset: the best
    };

    Mode mode = Mode::Extract;
    FrameRange range;
    FrameChoice choice;
    Picture picture;
    Output output;
    Run run;
    std::vector<std::string> movies;

    // Throws UsageError naming the offending argument.
    static ExtractOptions parse(const std::vector<std::string_view>& args);
};

} // namespace cli
