#pragma once

#include "media/MovieOptions.h"
#include "picture/PictureOptions.h"
#include "picture/PixelLayout.h"

#include <optional>
#include <string>

namespace kirimo {

// What a Python Movie was opened with: all a worker needs, with the index, to open it again.
struct MovieSettings {
    std::string path; // UTF-8
    bool autorotate = true;
    bool squarePixels = false;
    bool deinterlace = false;
    std::optional<std::string> size; // the command line's form: "320x", "50%", "640x360"
    int threads = 0;
    std::string colour = "rgb";
    int stream = -1;

    // Throws std::invalid_argument with the command line's wording for a bad value.
    void check() const;
    media::MovieOptions movieOptions() const;
    picture::PictureOptions pictureOptions() const;
    picture::PixelLayout layout() const { return picture::PixelLayout::named(colour); }
};

} // namespace kirimo
