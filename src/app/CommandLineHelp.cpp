#include "app/CommandLineHelp.h"

#include <string_view>

namespace app {

bool isHelpRequest(int argc, const char* const* argv) {
    return argc >= 2 && std::string_view(argv[1]) == "--help";
}

bool isVersionRequest(int argc, const char* const* argv) {
    return argc >= 2 && std::string_view(argv[1]) == "--version";
}

const char* helpText() {
    return R"(Usage: kirimo-avi [MOVIE]...
  or:  kirimo-avi --screenshot PNG [MOVIE]
Cuts still frames out of AVI movies and writes them as numbered 24-bit BMP files,
in a window. Each AVI MOVIE named is loaded in turn as the window opens; the last
one stays loaded, and any other name is passed over with a line on standard error.
The same extraction without a window, for other movies too: kirimo-extract.

  --screenshot PNG  open the window as at start, with MOVIE loaded, save its
                    picture as PNG and quit; messages go to standard error;
                    without a display the window is drawn offscreen
  --help            show this help and quit
  --version         show the version and the licence and quit

The user's guide is Readme.txt beside the program, or in its documentation folder
when installed. The window's place and the destination folder are kept in
Kirimo.ini beside the program, or, when installed, in kirimo-avi/Kirimo.ini under
the user's configuration folder ($XDG_CONFIG_HOME, by default ~/.config).
)";
}

} // namespace app
