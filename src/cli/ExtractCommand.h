#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace cli {

// The whole command: parse, open, extract or describe. Returns the exit status:
// 0 done, 1 a movie, frame or file failed, 2 the command line was wrong, 128+N stopped by
// signal N.
int runExtractCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

} // namespace cli
