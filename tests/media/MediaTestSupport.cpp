#include "MediaTestSupport.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <unistd.h>

namespace mediatest {

std::filesystem::path scratchFolder() {
    static const std::filesystem::path folder = [] {
        const char* root = std::getenv("KIRIMO_TEST_TMP");
        const std::filesystem::path base =
            root != nullptr ? std::filesystem::path(root) : std::filesystem::temp_directory_path();
        const auto path = base / ("media-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

std::filesystem::path movieFor(const testmedia::MovieRecipe& recipe) {
    std::ostringstream name;
    name << testmedia::codecName(recipe.codec) << '_' << recipe.width << 'x' << recipe.height << '_'
         << recipe.frames << "f_gop" << recipe.gop << "_b" << recipe.bFrames;
    for (const int dropped : recipe.droppedFrames)
        name << "_d" << dropped;
    name << ".avi";
    static std::map<std::string, std::filesystem::path> written;
    const auto found = written.find(name.str());
    if (found != written.end())
        return found->second;
    const auto file = scratchFolder() / name.str();
    testmedia::writeMovie(file, recipe);
    written.emplace(name.str(), file);
    return file;
}

testmedia::MovieRecipe recipeOf(testmedia::Codec codec, int frames, int gop) {
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.frames = frames;
    recipe.gop = gop;
    return recipe;
}

int frameNumberOf(const core::BgrImage& image) {
    return testmedia::readFrameNumber(
        {image.bytes.data(), image.width, image.height, image.stride()});
}

} // namespace mediatest
