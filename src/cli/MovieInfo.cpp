#include "cli/MovieInfo.h"

#include "media/Movie.h"

#include <cstdio>

namespace cli {

std::string describeMovie(const media::Movie& movie) {
    return "frames=" + std::to_string(movie.frameCount()) +
           "\nwidth=" + std::to_string(movie.width()) +
           "\nheight=" + std::to_string(movie.height()) +
           "\nfps=" + formatFrameRate(movie.frameRate()) + "\n";
}

std::string formatFrameRate(double fps) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", fps);
    std::string result = text;
    while (result.ends_with('0'))
        result.pop_back();
    if (result.ends_with('.'))
        result.pop_back();
    return result;
}

} // namespace cli
