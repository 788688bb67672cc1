#include "core/VersionText.h"

// The release number comes from the project's CMake file, which sets it on this file alone.
#ifndef KIRIMO_VERSION
#error "KIRIMO_VERSION is set by src/core/CMakeLists.txt"
#endif

namespace core {

std::string versionText(std::string_view program) {
    return std::string(program) +
           " " KIRIMO_VERSION "\n"
           "Copyright (C) 2026 The Kirimo AVI developers.\n"
           "License MIT: <https://opensource.org/licenses/MIT>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

} // namespace core
