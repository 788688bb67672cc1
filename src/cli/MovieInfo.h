#pragma once

#include <string>

namespace media {
class Movie;
}

namespace cli {

// "frames=N", "width=W", "height=H", "fps=R" lines, one fact a line, for scripts to read.
std::string describeMovie(const media::Movie& movie);
// At most three decimals, trailing zeros dropped: 25, 29.97, 23.976.
std::string formatFrameRate(double fps);

} // namespace cli
