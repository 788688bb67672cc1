// kirimo-make-sample OUT.avi: writes the built-in sample movie.

#include "support/testmedia/TestMedia.h"

#include <exception>
#include <iostream>
#include <string_view>

namespace {

const char* const usage = R"(Usage: kirimo-make-sample OUT
Writes the built-in sample movie to OUT: an AVI of 300 frames, 320 x 240 at 30 frames
a second, MJPEG. An existing OUT is replaced. A name that begins with "-" is given as
"./-name" or after "--".

  --help  show this help and quit
)";

int usageError(const std::string& message) {
    std::cerr << "kirimo-make-sample: " << message << "\nTry 'kirimo-make-sample --help'.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const char* out = nullptr;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnd && arg == "--help") {
            std::cout << usage << std::flush;
            return std::cout ? 0 : 1;
        }
        if (!optionsEnd && arg == "--") {
            optionsEnd = true;
            continue;
        }
        // A lone "-" would be standard output elsewhere; a movie file cannot go there.
        if (!optionsEnd && arg.starts_with('-'))
            return usageError("unknown option '" + std::string(arg) + "'");
        if (out != nullptr)
            return usageError("one output file only");
        out = argv[i];
    }
    if (out == nullptr)
        return usageError("no output file named");
    try {
        testmedia::writeSampleMovie(out);
    } catch (const std::exception& e) {
        std::cerr << "kirimo-make-sample: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
