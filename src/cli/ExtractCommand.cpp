#include "cli/ExtractCommand.h"

#include "cli/ExtractOptions.h"
#include "cli/Extractor.h"
#include "cli/FramePlan.h"
#include "cli/MovieInfo.h"
#include "cli/ProgressLine.h"
#include "cli/UsageError.h"
#include "core/Paths.h"
#include "media/Movie.h"

#include <exception>
#include <string>
#include <thread>

namespace cli {

namespace {

constexpr int exitDone = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

constexpr const char* helpText =
    R"(Usage: kirimo-extract [OPTION]... MOVIE
       kirimo-extract --info MOVIE
Writes frames of an AVI movie as 24-bit BMP files. Frame 12 of clip.avi becomes
DIR/clip_00012.bmp; frames are counted from 0.

  --start S      first frame to write (default 0)
  --end E        last frame to write (default: the movie's last frame)
  --interval I   write frames S, S+I, S+2I, ... up to E (default 1)
  --out DIR      folder to write into, created when missing (default: the current folder)
  --info         print the movie's frames, width, height and fps; write nothing
  --help         show this help
Options also take the form --option=value. Existing files of the same names are replaced.

Exit status: 0 done; 1 the movie could not be read or a file not written (files
written before the failure stay); 2 the command line was wrong.
)";

void report(std::FILE* err, const std::string& message) {
    std::fprintf(err, "kirimo-extract: %s\n", message.c_str());
}

// The writer thread keeps one core busy; on a small machine extra decoder threads would only
// fight it for the other (measured on two cores: a third faster with one decoder thread).
media::MovieOptions decodingOptions() {
    const unsigned cores = std::thread::hardware_concurrency();
    return media::MovieOptions{.decoderThreads = cores > 2 ? 0 : 1};
}

int extract(const ExtractOptions& options, std::FILE* out, std::FILE* err) {
    media::Movie movie(core::pathFromUtf8(options.movie), decodingOptions());
    if (options.mode == ExtractOptions::Mode::Info) {
        std::fputs(describeMovie(movie).c_str(), out);
        return exitDone;
    }
    const FramePlan plan = FramePlan::resolve(options, movie.frameCount());
    ProgressLine progress(err, plan.count());
    Extractor(movie, options.movie, options.outDir).run(plan, progress);
    return exitDone;
}

} // namespace

int runExtractCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    try {
        const ExtractOptions options = ExtractOptions::parse(args);
        if (options.mode == ExtractOptions::Mode::Help) {
            std::fputs(helpText, out);
            return exitDone;
        }
        return extract(options, out, err);
    } catch (const UsageError& e) {
        report(err, e.what());
        std::fputs("Try 'kirimo-extract --help'.\n", err);
        return exitUsage;
    } catch (const std::exception& e) {
        report(err, e.what());
        return exitFailed;
    }
}

} // namespace cli
