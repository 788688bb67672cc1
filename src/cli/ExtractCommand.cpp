#include "cli/ExtractCommand.h"

#include "cli/ExtractError.h"
#include "cli/ExtractJobs.h"
#include "cli/ExtractOptions.h"
#include "cli/FramePlan.h"
#include "cli/JpegEncoder.h"
#include "cli/Manifest.h"
#include "cli/MovieInfo.h"
#include "cli/MovieTask.h"
#include "cli/OptionTable.h"
#include "cli/PictureMemory.h"
#include "cli/PictureStream.h"
#include "cli/RunLog.h"
#include "cli/SheetWriter.h"
#include "cli/ShotSearch.h"
#include "cli/StopSignals.h"
#include "cli/UsageError.h"
#include "core/FrameNaming.h"
#include "core/PathRules.h"
#include "core/Paths.h"
#include "core/VersionText.h"
#include "media/Movie.h"
#include "picture/PictureOptions.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <variant>

namespace cli {

namespace {

constexpr int exitDone = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;
constexpr int exitBySignal = 128;

// How pictures are shown, as the command line asks.
picture::PictureOptions pictureOptions(const ExtractOptions::Picture& options) {
    return picture::PictureOptions{.storedOrientation = options.noAutorotate,
                                   .squarePixels = options.squarePixels,
                                   .deinterlace = options.deinterlace,
                                   .size = options.size};
}

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
    media::Movie movie(core::pathFromUtf8(name), {.stream = options.run.stream.value_or(-1)},
                       pictureOptions(options.picture));
    if (options.mode == ExtractOptions::Mode::List) {
        // The frames a run would write, planned as a run plans them.
        const MovieLength length = MovieLength::of(name, movie);
        const FramePlan plan = FramePlan::resolve(options.range, options.choice, length);
        if (!plan.notice().empty())
            report(err, plan.notice());
        if (const ShotStarts* shots = std::get_if<ShotStarts>(&options.choice))
            std::fputs(
                shotTableCsv(findShots(movie, plan, shots->sensitivity, options.run.keepGoing),
                             length.table)
                    .c_str(),
                out);
        else
            std::fputs(frameTableCsv(length.table, plan.frames()).c_str(), out);
    } else {
        try {
            movie.frame(0); // a display matrix may come with the pictures alone
        } catch (const media::MovieError&) {
            // The facts of the headers still hold; the frame fails where it is extracted.
        }
        std::fputs((options.run.json ? describeMovieAsJson(movie) : describeMovie(movie)).c_str(),
                   out);
    }
    for (const std::string& notice :
         {repairNotice(name, movie), lossNotice(name, movie), truncationNotice(name, movie)})
        if (!notice.empty())
            report(err, notice);
    return finishOutput(out, err);
}

std::string movieBaseName(const std::string& name) {
    const core::PathRules rules = core::PathRules::native();
    return core::extractFileName(core::changeFileExt(name, "", rules), rules);
}

// Movies whose files would land on the same names would overwrite each other's frames.
void refuseSharedNames(const ExtractOptions& options) {
    const ExtractOptions::Output& output = options.output;
    if (output.names && !output.names->usesMovie() && !output.perMovie && options.movies.size() > 1)
        throw UsageError("the name pattern has no {movie}, so the movies would write files of "
                         "the same names; add {movie} or write with '--out-per-movie'");
    std::set<std::string> seen;
    for (const std::string& movie : options.movies)
        if (!seen.insert(movieBaseName(movie)).second)
            throw UsageError("two movies would write files of the same names: '" +
                             movieBaseName(movie) + "_NNNNN'; extract them in separate runs");
}

std::vector<std::int32_t> keyFramesOf(const std::vector<media::FrameRecord>& table) {
    std::vector<std::int32_t> keys;
    std::int32_t frame = 0;
    for (const media::FrameRecord& record : table) {
        if (record.key)
            keys.push_back(frame);
        ++frame;
    }
    return keys;
}

// Frames a pattern would give one name (two starting within one millisecond, for {time})
// would overwrite each other.
void refuseSharedFrameNames(const MovieTask& task, ImageFormat format) {
    if (!task.names())
        return;
    std::set<std::string> seen;
    for (const std::int32_t frame : task.plan().frames())
        if (const std::string name = outputFileName(task, frame, format); !seen.insert(name).second)
            throw UsageError("the name pattern gives two frames of '" + task.name() +
                             "' the name '" + name + "'; add {frame} or {index}");
}

// Common file systems hold names of at most 255 bytes: a longer one fails only once files are
// being written. The last frame planned has the longest number, time and index.
void refuseOverlongFileNames(const MovieTask& task, ImageFormat format) {
    constexpr std::size_t longestName = 255;
    if (task.plan().count() == 0)
        return;
    const std::string path = outputFileName(task, task.plan().frames().back(), format);
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.size() > longestName)
        throw UsageError("the files of '" + task.name() + "' would get names of up to " +
                         std::to_string(name.size()) + " bytes, such as '" + name +
                         "'; a file name holds at most " + std::to_string(longestName));
}

void refuseHugePictures(const std::string& name, const media::Movie& movie) {
    if (movie.width() > core::SizeRequest::largest || movie.height() > core::SizeRequest::largest)
        throw UsageError("the size asked for makes the pictures of '" + name + "' " +
                         std::to_string(movie.width()) + "x" + std::to_string(movie.height()) +
                         ": over " + std::to_string(core::SizeRequest::largest) + " pixels a side");
}

// How a movie's pictures are written: at 16 bits a channel where --depth 16 or --hdr keep
// applies. Throws UsageError for 16-bit pictures only the tone map could give.
MovieTask::PictureKind pictureKindOf(const ExtractOptions::Output& output, const std::string& name,
                                     const media::Movie& movie) {
    MovieTask::PictureKind kind;
    kind.area = std::int64_t{movie.width()} * movie.height();
    kind.codec = movie.codecName();
    const picture::PictureColour colour = movie.colour();
    const bool hdr = colour.isPq() || colour.isHlg();
    if (output.keepHdr && hdr) {
        kind.deep = true;
        kind.coding = CodingPoints{static_cast<std::uint8_t>(colour.primaries),
                                   static_cast<std::uint8_t>(colour.transfer)};
        return kind;
    }
    if (output.depth != 16 || movie.bitDepth() <= 8)
        return kind;
    if (hdr)
        throw UsageError("'" + name + "' is HDR, and its tone-mapped pictures come at 8 bits " +
                         "only so far; '--hdr keep' writes them at 16 bits as coded");
    if (colour.needsLinearLight())
        throw UsageError("'" + name + "' has colours wider than BT.709's, and turning them into " +
                         "BT.709's gives 8 bits only so far; leave out '--depth 16'");
    kind.deep = true;
    return kind;
}

struct Preparation {
    std::vector<std::unique_ptr<MovieTask>> tasks;
    int failedMovies = 0;
};

// Opens every movie and checks its frames before any file is written. The first `keepOpen`
// movies stay open for the jobs that start on them.
Preparation prepare(const ExtractOptions& options, int keepOpen, Manifest* manifest,
                    std::FILE* err) {
    Preparation result;
    for (const std::string& name : options.movies) {
        if (StopSignals::received())
            break;
        try {
            auto opened = std::make_unique<media::Movie>(
                core::pathFromUtf8(name),
                media::MovieOptions{.decoderThreads = 1, .stream = options.run.stream.value_or(-1)},
                pictureOptions(options.picture));
            const media::Movie& movie = *opened;
            refuseHugePictures(name, movie);
            for (const std::string& notice : {repairNotice(name, movie), lossNotice(name, movie),
                                              truncationNotice(name, movie)})
                if (!notice.empty())
                    report(err, notice);
            const MovieLength length = MovieLength::of(name, movie);
            FramePlan plan = FramePlan::resolve(options.range, options.choice, length);
            if (!plan.notice().empty())
                report(err, plan.notice());
            if (const ShotStarts* shots = std::get_if<ShotStarts>(&options.choice)) {
                std::vector<std::int32_t> starts;
                for (const picture::ShotDetector::Shot& shot :
                     findShots(*opened, plan, shots->sensitivity, options.run.keepGoing))
                    starts.push_back(shot.frame);
                plan = plan.narrowed(starts);
            }
            const ExtractOptions::Output& output = options.output;
            const std::string outDir =
                output.perMovie ? output.folder + "/" + movieBaseName(name) : output.folder;
            result.tasks.push_back(std::make_unique<MovieTask>(
                name, outDir, std::move(plan), keyFramesOf(length.table), output.names));
            result.tasks.back()->keepIndex(movie.index());
            result.tasks.back()->describePictures(pictureKindOf(output, name, movie));
            refuseSharedFrameNames(*result.tasks.back(), output.format);
            refuseOverlongFileNames(*result.tasks.back(), output.format);
            if (manifest)
                manifest->addMovie(*result.tasks.back(), length.table);
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

// The largest pictures any job makes, by as many jobs as have frames to take.
void weighPictures(const Preparation& prepared, int jobs, std::FILE* err) {
    std::int64_t area = 0;
    std::int64_t frames = 0;
    for (const std::unique_ptr<MovieTask>& task : prepared.tasks) {
        area = std::max(area, task->pictures().area);
        frames += task->plan().count();
    }
    const int working = static_cast<int>(std::min<std::int64_t>(jobs, frames));
    if (working == 0)
        return;
    if (const std::string warning = PictureMemory::check(area, working, PictureMemory::installed());
        !warning.empty())
        report(err, warning);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

// Windows takes a wide name for a file outside the system code page.
std::FILE* openForWriting(const std::filesystem::path& file) {
#ifdef _WIN32
    return _wfopen(file.c_str(), L"wb");
#else
    return std::fopen(file.c_str(), "wb");
#endif
}

// Where the manifest goes: none, standard output or its own file (opened before any movie, so a
// name that cannot be written costs no decoding).
std::FILE* manifestOutput(const ExtractOptions& options, std::FILE* out, OwnedFile& owned) {
    const std::optional<std::string>& name = options.output.manifest;
    if (!name)
        return options.run.dryRun ? out : nullptr;
    if (*name == "-")
        return out;
    owned.reset(openForWriting(core::pathFromUtf8(*name)));
    if (!owned)
        throw std::runtime_error("cannot write the manifest '" + *name +
                                 "': " + std::strerror(errno));
    return owned.get();
}

int planOnly(const Preparation& prepared, Manifest& manifest, ImageFormat format, std::FILE* err) {
    for (const std::unique_ptr<MovieTask>& task : prepared.tasks)
        for (const std::int32_t frame : task->plan().frames())
            manifest.tell(
                *task, frame,
                {FrameOutcome::Status::Planned, outputFileName(*task, frame, format), {}});
    if (manifest.failed()) {
        report(err, "cannot write the manifest: " + std::string(std::strerror(errno)));
        return exitFailed;
    }
    return prepared.failedMovies > 0 ? exitFailed : exitDone;
}

std::string notWrittenReason(const MovieTask& task) {
    if (const std::optional<std::string> failure = task.failure())
        return "not written: " + *failure;
    return "not written: the run stopped before it";
}

// A reader of standard output that goes away (`| head`) ends the run quietly, as a write that
// fails with EPIPE, rather than killing it half way through a file.
class BrokenPipeIgnored {
public:
#ifdef _WIN32
    BrokenPipeIgnored() = default;
#else
    BrokenPipeIgnored() {
        sigaction(SIGPIPE, &ignore(), &previous_);
    }
    ~BrokenPipeIgnored() {
        sigaction(SIGPIPE, &previous_, nullptr);
    }
    BrokenPipeIgnored(const BrokenPipeIgnored&) = delete;
    BrokenPipeIgnored& operator=(const BrokenPipeIgnored&) = delete;

private:
    static const struct sigaction& ignore() {
        static const struct sigaction action = [] {
            struct sigaction ignored {};
            ignored.sa_handler = SIG_IGN;
            sigemptyset(&ignored.sa_mask);
            return ignored;
        }();
        return action;
    }
    struct sigaction previous_ {};
#endif
};

// Takes back files past a movie's failure, reports what each movie lacks and tells the manifest
// the rest; returns the number of movies that failed.
int settleMovies(const std::vector<MovieTask*>& tasks, ImageFormat format, Manifest* manifest,
                 std::FILE* err) {
    int failed = 0;
    for (const MovieTask* task : tasks) {
        if (const std::optional<std::string> failure = task->failure()) {
            for (const std::int32_t frame : task->writtenPastFailure()) {
                std::error_code ignored; // a file already gone is what we want
                std::filesystem::remove(core::pathFromUtf8(outputFileName(*task, frame, format)),
                                        ignored);
            }
            report(err, *failure);
            ++failed;
        } else if (task->missingFrames() > 0) {
            report(err, task->name() + ": frames missing: " +
                            std::to_string(task->missingFrames()) + " (not decodable)");
            ++failed;
        }
        if (manifest)
            manifest->finishMovie(*task, notWrittenReason(*task));
    }
    return failed;
}

// What a stopped run says on its way out.
int stoppedBy(int signal, const std::string& written, std::FILE* err) {
    report(err, "stopped by SIG" + std::string(StopSignals::name(signal)) + ": " + written);
    return exitBySignal + signal;
}

// One contact sheet a movie (or page) rather than frame files.
int writeSheets(const ExtractOptions& options, std::FILE* out, std::FILE* err) {
    refuseSharedNames(options);
    ExtractOptions shown = options; // --size is the tiles', not the movie's as the header gives it
    shown.picture.size.reset();
    const StopSignals stopSignals;
    const Preparation prepared = prepare(shown, 1, nullptr, err);
    [[maybe_unused]] const BrokenPipeIgnored brokenPipeIgnored;
    SheetSettings settings{
        .grid = *options.output.sheet,
        .pages = options.output.sheetPages.value_or(1),
        .format = options.output.format,
        .jpegQuality = options.output.quality.value_or(JpegOptions{}.quality),
        .tile = options.picture.size.value_or(core::SizeRequest::parse("320x")),
        .pictures = pictureOptions(shown.picture),
        .decoding = {.decoderThreads = 1, .stream = options.run.stream.value_or(-1)},
        .keepGoing = options.run.keepGoing,
        .stream = options.output.stream ? out : nullptr};
    SheetWriter writer(settings, err);
    int failed = prepared.failedMovies;
    for (const std::unique_ptr<MovieTask>& task : prepared.tasks) {
        if (StopSignals::received())
            break;
        if (!writer.write(*task, task->takeOpened())) {
            ++failed;
        } else if (task->missingFrames() > 0) {
            report(err, task->name() + ": frames missing: " +
                            std::to_string(task->missingFrames()) + " (not decodable)");
            ++failed;
        }
    }
    if (const int signal = StopSignals::received())
        return stoppedBy(signal, "the sheets written are whole", err);
    return failed > 0 ? exitFailed : exitDone;
}

int extract(const ExtractOptions& options, std::FILE* out, std::FILE* err) {
    if (options.output.sheet)
        return writeSheets(options, out, err);
    refuseSharedNames(options);
    OwnedFile manifestFile;
    std::optional<Manifest> manifest;
    if (std::FILE* manifestOut = manifestOutput(options, out, manifestFile))
        manifest.emplace(manifestOut);
    Manifest* const told = manifest ? &*manifest : nullptr;
    const StopSignals stopSignals;
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const int jobs = options.run.jobs.value_or(cores);
    Preparation prepared = prepare(options, jobs, told, err);
    weighPictures(prepared, jobs, err);
    if (options.run.dryRun)
        return planOnly(prepared, *manifest, options.output.format, err);

    std::int32_t total = 0;
    std::vector<MovieTask*> tasks;
    for (const std::unique_ptr<MovieTask>& task : prepared.tasks) {
        total += task->plan().count();
        tasks.push_back(task.get());
    }
    RunLog log(err, total);
    [[maybe_unused]] const BrokenPipeIgnored brokenPipeIgnored; // nothing to do on Windows
    std::optional<PictureStream> stream;
    if (options.output.stream) {
        stream.emplace(out);
        for (const MovieTask* task : tasks)
            stream->addMovie(*task);
    }
    media::MovieOptions decoding;
    decoding.stream = options.run.stream.value_or(-1);
    decoding.stopRequested = [&stream] {
        return StopSignals::received() != 0 || (stream && stream->closed());
    };
    if (std::holds_alternative<KeyFrames>(options.choice)) {
        // Key frames decoded one packet at a time give frame threads nothing to overlap.
        decoding.decoderThreads = 1;
        decoding.keyFramesAlone = true;
    }
    ExtractSettings settings{options.output.format,
                             options.output.quality.value_or(JpegOptions{}.quality),
                             options.run.keepGoing, decoding, pictureOptions(options.picture)};
    settings.manifest = told;
    settings.skipExisting = options.run.skipExisting;
    settings.stream = stream ? &*stream : nullptr;
    if (!StopSignals::received())
        runExtractJobs(tasks, jobs, settings, log);
    log.finish();
    if (stream && stream->closed())
        return exitDone; // the reader took what it wanted, as `head` does

    int failed = prepared.failedMovies + settleMovies(tasks, options.output.format, told, err);
    if (stream && !stream->failure().empty()) {
        report(err, stream->failure());
        ++failed;
    }
    if (manifest && manifest->failed()) {
        report(err, "cannot write the manifest: " + std::string(std::strerror(errno)));
        ++failed;
    }
    if (const int signal = StopSignals::received())
        return stoppedBy(signal, std::to_string(log.filesWritten()) + " files written, each whole",
                         err);
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
            std::fputs(helpText().c_str(), out);
            return finishOutput(out, err);
        }
        if (options.mode == ExtractOptions::Mode::Version) {
            std::fputs(core::versionText("kirimo-extract").c_str(), out);
            return finishOutput(out, err);
        }
        if (options.mode != ExtractOptions::Mode::Extract)
            return describe(options, out, err);
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
