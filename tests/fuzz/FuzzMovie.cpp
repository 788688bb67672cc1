#include "FuzzMovie.h"

#include "FuzzInputFile.h"

std::optional<media::Movie> FuzzMovie::open(const std::uint8_t* data, std::size_t size) {
    media::MovieOptions options;
    options.decoderThreads = 1;
    try {
        return media::Movie(FuzzInputFile::write(data, size), options);
    } catch (const media::MovieError&) {
        return std::nullopt;
    }
}
