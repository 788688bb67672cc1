#include "support/testmedia/TestMedia.h"

#include "support/testmedia/AviWriter.h"
#include "support/testmedia/BgrImage.h"
#include "support/testmedia/CellGrid.h"
#include "support/testmedia/CodecTable.h"
#include "support/testmedia/Palette.h"
#include "support/testmedia/Pictures.h"

#include <algorithm>
#include <stdexcept>

namespace testmedia {

namespace {

void check(bool condition, const char* message) {
    if (!condition)
        throw std::invalid_argument(message);
}

void validate(const MovieRecipe& movie) {
    check(movie.width > 0 && movie.height > 0, "movie size must be positive");
    check(movie.frames >= 0 && movie.frames <= CellGrid::largestNumber + 1,
          "a movie holds 0 to 65536 frames");
    check(movie.fps > 0, "frame rate must be positive");
    check(movie.gop > 0 && movie.bFrames >= 0, "GOP must be positive, B-frames not negative");
    check(CellGrid::forPicture(movie.width, movie.height).has_value(),
          "movie too small for the frame number cells (8 x 6 at least)");
    for (const int n : movie.droppedFrames)
        check(n >= 0 && n < movie.frames, "dropped frame outside the movie");
    // An inter codec would predict the next picture from one the decoder never sees.
    check(movie.droppedFrames.empty() || isIntraOnly(movie.codec),
          "dropped frames need an intra-only codec");
}

bool isDropped(const MovieRecipe& movie, int n) {
    return std::find(movie.droppedFrames.begin(), movie.droppedFrames.end(), n) !=
           movie.droppedFrames.end();
}

BgrImage pictureOf(const MovieRecipe& movie, int n) {
    return movie.sample ? samplePicture(movie.width, movie.height, n)
                        : testPicture(movie.width, movie.height, n);
}

void encodeMovie(const std::filesystem::path& file, const MovieRecipe& movie) {
    const LogLevelGuard quiet(AV_LOG_ERROR);
    AviWriter writer(file, encoderSettings(movie));
    for (int n = 0; n < movie.frames; ++n) {
        if (isDropped(movie, n))
            writer.writeEmptyChunk(n);
        else
            writer.writePicture(pictureOf(movie, n), n);
    }
    writer.finish();
}

bool encoderOpens(Codec codec) {
    MovieRecipe movie;
    movie.codec = codec;
    movie.width = 64;
    movie.height = 48;
    try {
        openEncoder(encoderSettings(movie));
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace

std::vector<Codec> availableCodecs() {
    static const std::vector<Codec> available = [] {
        const LogLevelGuard quiet(AV_LOG_QUIET);
        std::vector<Codec> codecs;
        for (const Codec codec : allCodecs())
            if (encoderOpens(codec))
                codecs.push_back(codec);
        return codecs;
    }();
    return available;
}

void writeMovie(const std::filesystem::path& file, const MovieRecipe& movie) {
    validate(movie);
    encodeMovie(file, movie);
}

std::vector<std::uint8_t> expectedPicture(const MovieRecipe& movie, int n) {
    validate(movie);
    if (n < 0 || n >= movie.frames)
        throw std::invalid_argument("frame outside the movie");
    BgrImage picture = pictureOf(movie, n);
    if (encoderSettings(movie).pixelFormat == AV_PIX_FMT_PAL8)
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, paletteColour(paletteIndex(picture.pixel(x, y))));
    return {picture.bytes(), picture.bytes() + picture.stride() * picture.height()};
}

int readFrameNumber(const BgrView& picture) {
    if (picture.bytes == nullptr || picture.width <= 0 || picture.height <= 0 ||
        picture.stride < picture.width * 3)
        return -1;
    const std::optional<CellGrid> grid = CellGrid::forPicture(picture.width, picture.height);
    return grid ? grid->read(picture) : -1;
}

void writeSampleMovie(const std::filesystem::path& file) {
    MovieRecipe movie;
    movie.codec = Codec::Mjpeg;
    movie.width = 320;
    movie.height = 240;
    movie.frames = 300;
    movie.fps = 30;
    movie.sample = true;
    writeMovie(file, movie);
}

} // namespace testmedia
