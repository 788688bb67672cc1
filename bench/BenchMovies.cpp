#include "BenchMovies.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace bench {

namespace fs = std::filesystem;

namespace {

// Removes the scratch folder when the process ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "kirimo-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a scratch folder in " +
                                     fs::temp_directory_path().string());
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

std::optional<testmedia::MovieRecipe> movieKind(std::string_view kind, int frames) {
    testmedia::MovieRecipe recipe;
    recipe.frames = frames;
    recipe.fps = 25;
    if (kind == "mjpeg640") {
        recipe.codec = testmedia::Codec::Mjpeg;
        recipe.width = 640;
        recipe.height = 480;
    } else if (kind == "mpeg4_720_gop250") {
        recipe.codec = testmedia::Codec::Mpeg4BFrames;
        recipe.width = 1280;
        recipe.height = 720;
        recipe.gop = 250;
        recipe.bFrames = 2;
    } else if (kind == "h264_720_gop300") {
        recipe.codec = testmedia::Codec::H264;
        recipe.width = 1280;
        recipe.height = 720;
        recipe.gop = 300;
        recipe.bFrames = 2;
    } else if (kind == "raw640") {
        recipe.codec = testmedia::Codec::RawBgr24;
        recipe.width = 640;
        recipe.height = 480;
    } else {
        return std::nullopt;
    }
    return recipe;
}

int benchMovieFrames(std::string_view kind) {
    // Two GOPs of the inter codec, so jumps cross key frames; raw kept small on disk.
    if (kind == "mpeg4_720_gop250")
        return 500;
    if (kind == "raw640")
        return 100;
    if (kind == "h264_720_gop300")
        return 330;
    return 300;
}

const fs::path& benchMovie(std::string_view kind) {
    static ScratchFolder scratch;
    static std::map<std::string, fs::path, std::less<>> movies;
    if (auto known = movies.find(kind); known != movies.end())
        return known->second;
    const std::optional<testmedia::MovieRecipe> recipe = movieKind(kind, benchMovieFrames(kind));
    if (!recipe)
        throw std::invalid_argument("unknown movie kind " + std::string(kind));
    const fs::path file = scratch.path() / (std::string(kind) + ".avi");
    testmedia::writeMovie(file, *recipe);
    return movies[std::string(kind)] = file;
}

int makeMovieCommand(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fputs(
            "usage: kirimo-bench --make-movie mjpeg640|mpeg4_720_gop250|h264_720_gop300|raw640 OUT "
            "[FRAMES]\n",
            stderr);
        return 2;
    }
    const int frames = argc == 5 ? std::atoi(argv[4]) : 1000;
    const std::optional<testmedia::MovieRecipe> recipe = movieKind(argv[2], frames);
    if (!recipe || frames < 1) {
        std::fprintf(stderr, "kirimo-bench: unknown movie kind '%s' or bad frame count\n", argv[2]);
        return 2;
    }
    try {
        testmedia::writeMovie(argv[3], *recipe);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kirimo-bench: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace bench
