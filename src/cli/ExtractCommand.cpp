#include "cli/ExtractCommand.h"

#include "cli/ExtractError.h"
#include "cli/ExtractJobs.h"
#include "cli/ExtractOptions.h"
#include "cli/FramePlan.h"
#include "cli/MovieInfo.h"
#include "cli/MovieTask.h"
#include "cli/RunLog.h"
#include "cli/StopSignals.h"
#include "cli/UsageError.h"
#include "core/FrameNaming.h"
#include "core/PathRules.h"
#include "core/Paths.h"
#include "media/Movie.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>

namespace cli {

namespace {

constexpr int exitDone = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;
constexpr int exitBySignal = 128;

constexpr const char* helpText =
    R"(Usage: kirimo-extract [OPTION]... MOVIE...
       kirimo-extract --info [--json] MOVIE
       kirimo-extract --list MOVIE
Writes frames of movies as 24-bit BMP (or PNG) files. Frame 12 of clip.avi becomes
DIR/clip_00012.bmp; frames are counted from 0.

  --start S        first frame to write (default 0)
  --end E          last frame to write (default: the movie's last frame)
  --interval I     write frames S, S+I, S+2I, ... up to E (default 1)
  --frames LIST    write the listed frames instead, e.g. 0,10,100-200,500-900/25: single
                   frames, inclusive ranges, ranges with a step; in any order, each written
                   once. A frame past a movie's last frame is an error, not clamped.
  --out DIR        folder to write into, created when missing (default: the current folder)
  --out-per-movie  write each movie's frames into DIR/<movie name>/ instead; the default
                   keeps one folder, as the names already say which movie a file is from
  --format F       bmp (default) or png (lossless, the same pixels, smaller files; those
                   of a palettised movie keep its palette, one byte a pixel; those of a
                   movie with an alpha channel keep it: RGBA). BMP files stay 24-bit,
                   their colours as stored, the alpha channel left out
  --jobs N         movies and stretches of one movie decoded side by side (default: the
                   number of cores, at most 64); the files are the same for every N
  --keep-going     report a frame that cannot be decoded, go on from the next key frame,
                   and count the frames missing at the end (default: stop at the first)
  --info           print the movie's frames, width, height, fps, container, codec and
                   colours (matrix, range, primaries, transfer; what is assumed where the
                   movie declares none) and whether it is HDR
  --json           with --info: the same facts as one JSON object
  --list           print one CSV line a frame (frame, seconds, key, packet size) without
                   decoding
  --help           show this help
Options also take the form --option=value. Existing files of the same names are replaced.
Two movies whose frame files would share names (clip.avi and clip.mp4) are refused.

Pictures are written as an SDR BT.709 movie shows them: a movie that declares no colour
matrix is read as players read it (BT.709 above 1024x576, BT.601 up to it; JPEG always
BT.601), BT.2020 colours are turned into BT.709's, and HDR (PQ, HLG) is tone-mapped, its
reference white becoming white and brighter light rolling off.

A truncated movie is named on standard error with the frame count its header promises;
its frames before the cut are written as usual, a frame past the cut fails that movie.

Exit status: 0 done; 1 a movie could not be read, a frame not decoded or a file not
written (the other movies still run; files written before the failure stay, later frames
of that movie are not written); 2 the command line was wrong (nothing is written);
128+N stopped by signal N (SIGINT, SIGTERM, SIGHUP): the files in hand are finished, a
decode under way ends at once, and no partial or temporary file is left.
)";

void report(std::FILE* err, const std::string& message) {
    std::fprintf(err, "kirimo-extract: %s\n", message.c_str());
}

// Standard output that cannot take the text (a full disk, a closed pipe) fails the run.
int finishOutput(std::FILE* out, std::FILE* err) {
    if (std::fflush(out) != 0 || std::ferror(out)) {
        report(err, std::string("cannot write to standard output: ") + std::strerror(errno));
        return exitFailed;
    }
    return exitDone;
}

int describe(const ExtractOptions& options, std::FILE* out, std::FILE* err) {
    const std::string& name = options.movies.front();
    const media::Movie movie(core::pathFromUtf8(name));
    if (options.mode == ExtractOptions::Mode::List)
        std::fputs(frameTableCsv(movie).c_str(), out);
    else
        std::fputs((options.json ? describeMovieAsJson(movie) : describeMovie(movie)).c_str(), out);
    if (const std::string notice = truncationNotice(name, movie); !notice.empty())
        report(err, notice);
    return finishOutput(out, err);
}

std::string movieBaseName(const std::string& name) {
    const core::PathRules rules = core::PathRules::native();
    return core::extractFileName(core::changeFileExt(name, "", rules), rules);
}

// Movies whose files would land on the same names would overwrite each other's frames.
void refuseSharedNames(const ExtractOptions& options) {
    std::set<std::string> seen;
    for (const std::string& movie : options.movies)
        if (!seen.insert(movieBaseName(movie)).second)
            throw UsageError("two movies would write files of the same names: '" +
                             movieBaseName(movie) + "_NNNNN'; extract them in separate runs");
}

std::vector<std::int32_t> keyFramesOf(const media::Movie& movie) {
    std::vector<std::int32_t> keys;
    std::int32_t frame = 0;
    for (const media::FrameRecord& record : movie.frameTable()) {
        if (record.key)
            keys.push_back(frame);
        ++frame;
    }
    return keys;
}

struct Preparation {
    std::vector<std::unique_ptr<MovieTask>> tasks;
    int failedMovies = 0;
};

// Opens every movie and checks its frames before any file is written. The first `keepOpen`
// movies stay open for the jobs that start on them.
Preparation prepare(const ExtractOptions& options, int keepOpen, std::FILE* err) {
    Preparation result;
    for (const std::string& name : options.movies) {
        if (StopSignals::received())
            break;
        try {
            auto opened = std::make_unique<media::Movie>(core::pathFromUtf8(name),
                                                         media::MovieOptions{.decoderThreads = 1});
            const media::Movie& movie = *opened;
            if (const std::string notice = truncationNotice(name, movie); !notice.empty())
                report(err, notice);
            const MovieLength length{name, movie.frameCount(), movie.claimedFrameCount()};
            FramePlan plan = FramePlan::resolve(options, length);
            const std::string outDir =
                options.outPerMovie ? options.outDir + "/" + movieBaseName(name) : options.outDir;
            result.tasks.push_back(
                std::make_unique<MovieTask>(name, outDir, std::move(plan), keyFramesOf(movie)));
            if (static_cast<int>(result.tasks.size()) <= keepOpen)
                result.tasks.back()->keepOpened(std::move(opened));
        } catch (const UsageError&) {
            throw; // the command line is wrong for this movie: write nothing at all
        } catch (const std::exception& e) {
            report(err, e.what());
            ++result.failedMovies;
        }
    }
    return result;
}

int extract(const ExtractOptions& options, std::FILE* err) {
    refuseSharedNames(options);
    const StopSignals stopSignals;
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const int jobs = options.jobs.value_or(cores);
    Preparation prepared = prepare(options, jobs, err);

    std::int32_t total = 0;
    std::vector<MovieTask*> tasks;
    for (const std::unique_ptr<MovieTask>& task : prepared.tasks) {
        total += task->plan().count();
        tasks.push_back(task.get());
    }
    RunLog log(err, total);
    const ExtractSettings settings{
        options.format, options.keepGoing,
        media::MovieOptions{.stopRequested = [] { return StopSignals::received() != 0; }}};
    if (!StopSignals::received())
        runExtractJobs(tasks, jobs, settings, log);
    log.finish();

    int failed = prepared.failedMovies;
    for (const MovieTask* task : tasks) {
        if (const std::optional<std::string> failure = task->failure()) {
            for (const std::int32_t frame : task->writtenPastFailure()) {
                std::error_code ignored; // a file already gone is what we want
                std::filesystem::remove(
                    core::pathFromUtf8(outputFileName(*task, frame, options.format)), ignored);
            }
            report(err, *failure);
            ++failed;
        } else if (task->missingFrames() > 0) {
            report(err, task->name() + ": frames missing: " +
                            std::to_string(task->missingFrames()) + " (not decodable)");
            ++failed;
        }
    }
    if (const int signal = StopSignals::received()) {
        report(err, std::string("stopped by SIG") + sigabbrev_np(signal) + ": " +
                        std::to_string(log.filesWritten()) + " files written, each whole");
        return exitBySignal + signal;
    }
    if (failed > 0 && options.movies.size() > 1)
        report(err, std::to_string(failed) + " of " + std::to_string(options.movies.size()) +
                        " movies failed");
    return failed > 0 ? exitFailed : exitDone;
}

} // namespace

int runExtractCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    try {
        const ExtractOptions options = ExtractOptions::parse(args);
        if (options.mode == ExtractOptions::Mode::Help) {
            std::fputs(helpText, out);
            return finishOutput(out, err);
        }
        if (options.mode != ExtractOptions::Mode::Extract)
            return describe(options, out, err);
        return extract(options, err);
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
