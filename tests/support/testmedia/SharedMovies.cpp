#include "support/testmedia/TestMedia.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <unistd.h>

namespace testmedia {

std::filesystem::path scratchFolder(const std::string& name) {
    static std::map<std::string, std::filesystem::path> folders;
    if (const auto found = folders.find(name); found != folders.end())
        return found->second;
    const char* root = std::getenv("KIRIMO_TEST_TMP");
    const std::filesystem::path base =
        root != nullptr ? std::filesystem::path(root) : std::filesystem::temp_directory_path();
    const auto path = base / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    folders.emplace(name, path);
    return path;
}

std::filesystem::path sharedMovie(const MovieRecipe& recipe) {
    std::ostringstream name;
    name << codecName(recipe.codec) << '_' << recipe.width << 'x' << recipe.height << '_'
         << recipe.frames << "f_" << recipe.fps << "fps_gop" << recipe.gop << "_b" << recipe.bFrames
         << (recipe.sample ? "_sample" : "");
    if (recipe.aspectNum > 0)
        name << "_sar" << recipe.aspectNum << 'x' << recipe.aspectDen;
    for (const int dropped : recipe.droppedFrames)
        name << "_d" << dropped;
    name << ".avi";
    static std::map<std::string, std::filesystem::path> written;
    if (const auto found = written.find(name.str()); found != written.end())
        return found->second;
    const auto file = scratchFolder("movies") / name.str();
    writeMovie(file, recipe);
    written.emplace(name.str(), file);
    return file;
}

} // namespace testmedia
