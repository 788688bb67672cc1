#include "cli/ExtractCommand.h"

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return cli::runExtractCommand(args, stdout, stderr);
}
