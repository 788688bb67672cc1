#pragma once

#include "cli/ExtractOptions.h"
#include "cli/TextPainter.h"
#include "core/SizeRequest.h"
#include "media/MovieOptions.h"
#include "picture/PictureOptions.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace media {
class Movie;
}

namespace cli {

class ContactSheet;
class MovieTask;

struct SheetSettings {
    ExtractOptions::SheetGrid grid;
    int pages = 1;
    ImageFormat format = ImageFormat::Bmp;
    int jpegQuality = 92;
    core::SizeRequest tile;           // the size of each tile's picture
    picture::PictureOptions pictures; // how the movie's pictures are shown, before the tile size
    media::MovieOptions decoding;
    bool keepGoing = false;      // a frame that cannot be decoded leaves its tile empty
    std::FILE* stream = nullptr; // the pages go there rather than into files
};

// The frames of a plan of `count` frames that a sheet of `tiles` tiles shows, as plan indices:
// every one when they fit, else one from the middle of each of `tiles` equal stretches.
std::vector<std::int32_t> spreadEvenly(std::int32_t count, std::int32_t tiles);

// Writes contact sheets: for each movie, its pages of tiles, with captions and a header line.
class SheetWriter {
public:
    SheetWriter(const SheetSettings& settings, std::FILE* err);
    ~SheetWriter();
    SheetWriter(const SheetWriter&) = delete;
    SheetWriter& operator=(const SheetWriter&) = delete;

    // Writes the sheets of `task`'s movie (`opened` when it is open already); reports a failure
    // on standard error and returns false. Stops early once a stop signal came.
    bool write(MovieTask& task, std::unique_ptr<media::Movie> opened);

private:
    void writePages(MovieTask& task, media::Movie& movie);
    // Puts the picture of plan index `index` at tile `tile`; false when it could not be decoded.
    bool placeFrame(MovieTask& task, media::Movie& movie, std::int32_t index, int tile,
                    ContactSheet& sheet);
    void save(const core::BgrImage& sheet, const std::string& fileName);
    std::string headerOf(const MovieTask& task, const media::Movie& movie) const;
    std::string fileNameFor(const MovieTask& task, int page) const;

    SheetSettings settings_;
    std::FILE* err_;
    TextPainter headerText_;
    TextPainter captionText_;
};

} // namespace cli
