#include "cli/ExtractCommand.h"
#include "cli/StopSignals.h"
#include "media/FfmpegLog.h"

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    // First of all: a stop signal while the movies are opened must not end the process before
    // its handlers are in, nor an FFmpeg complaint reach standard error unformatted.
    const cli::StopSignals stopSignals;
    media::FfmpegLog::install();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return cli::runExtractCommand(args, stdout, stderr);
}
