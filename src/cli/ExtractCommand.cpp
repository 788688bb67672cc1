#include "cli/ExtractCommand.h"

#include "cli/ExtractError.h"
#include "cli/ExtractJobs.h"
#include "cli/ExtractOptions.h"
#include "cli/FramePlan.h"
#include "cli/JpegEncoder.h"
#include "cli/MovieInfo.h"
#include "cli/MovieTask.h"
#include "cli/RunLog.h"
#include "cli/ShotSearch.h"
#include "cli/StopSignals.h"
#include "cli/UsageError.h"
#include "core/FrameNaming.h"
#include "core/PathRules.h"
#include "core/Paths.h"
#include "core/VersionText.h"
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
       kirimo-extract --list [--scenes [S]] MOVIE
Writes frames of movies as 24-bit BMP, PNG or JPEG files. Frame 12 of clip.avi becomes
DIR/clip_00012.bmp; frames are counted from 0.

  --start S        first frame to write (default 0), or a time with "s" or a colon
                   (--start 10s, --start 1:05.5): the frame shown then
  --end E          last frame to write (default: the movie's last frame), or a time
  --interval I     write frames S, S+I, S+2I, ... up to E (default 1)
  --at T[,T...]    write the frames shown at times T, counted from the first frame: seconds
                   (12.5) or a timecode (1:23.5, 01:02:03.040), e.g. --at 0,1:23.5. The frame
                   shown at T is the last that starts at or before it; a time past the last
                   frame's end is an error.
  --every D        write the frames shown at 0, D, 2D, ... within --start and --end, each
                   frame once (D: 2s, 0.5s, 1m or a timecode), e.g. --every 2s; on a movie of
                   varying frame rate this differs from --interval
  --keyframes      write only the key frames within --start and --end, each decoded from
                   its own data without the frames between them: quick, e.g. --keyframes
  --scenes [S]     write the first frame of every shot within --start and --end: the first
                   frame, each frame after a cut, and the first clean frame after a fade or
                   a dissolve of up to 1 s; a flash or a camera pan starts no shot. S from
                   1 to 100 (default 50): the higher, the smaller a change that counts, so
                   more shots found and more found wrongly. S is read as --scenes=S, or
                   from the next argument when that is all digits: --scenes 70 clip.mp4.
                   Every frame is decoded (as a small picture), the shots then written
  --frames LIST    write the listed frames instead, e.g. 0,10,100-200,500-900/25: single
                   frames, inclusive ranges, ranges with a step; in any order, each written
                   once. A frame past a movie's last frame is an error, not clamped.
  --out DIR        folder to write into, created when missing (default: the current folder)
  --out-per-movie  write each movie's frames into DIR/<movie name>/ instead; the default
                   keeps one folder, as the names already say which movie a file is from
  --format F       bmp (default), png (lossless, the same pixels, smaller files; those
                   of a palettised movie keep its palette, one byte a pixel; those of a
                   movie with an alpha channel keep it: RGBA) or jpg (baseline JPEG, colour
                   at half resolution (4:2:0); the JFIF densities carry the shape of the
                   movie's pixels), e.g. --format jpg --quality 85. BMP and JPEG files
                   leave the alpha channel out, their colours as stored
  --quality Q      JPEG quality from 1 to 100 (default 92); 100 keeps the colour at full
                   resolution (4:4:4)
  --name PATTERN   name the files by PATTERN (the extension follows the format), with the
                   fields {movie}, {frame} (5 digits at least), {frame:N} (N digits),
                   {time} (12.480: seconds, rounded up to the millisecond, so --at with it
                   gives the same frame), {timecode} (00-01-23.480) and {index} (1, 2, 3, ...
                   in frame order); e.g. --name "{movie}-{timecode}". It needs one of {frame},
                   {time}, {timecode}, {index}, and no folder (that is --out).
  --jobs N         movies and stretches of one movie decoded side by side (default: the
                   number of cores, at most 64); the files are the same for every N
  --no-autorotate  write pictures as stored; by default a movie whose display matrix turns or
                   mirrors its pictures (a phone's MP4 or MOV) is written upright, as
                   players show it
  --square-pixels  write a movie whose pixels are not square (DV, anamorphic HD) at the size
                   it is shown at, stretched in one direction (Lanczos); by default pictures
                   keep their stored size, and PNG files say the pixels' shape (pHYs)
  --deinterlace    deinterlace the frames the movie marks interlaced (bwdif, one picture a
                   frame, each from its own fields and its neighbours', in the movie's field
                   order); progressive frames stay as they are. Default: pictures as stored,
                   fields woven, e.g. --deinterlace --format png
  --size SIZE      resize the pictures as shown (turned, pixels square): WxH, Wx or xH (the
                   other side keeps the shape), or N% (e.g. --size 640x, --size 50%), at
                   most 16384 a side; shrinking averages each area in linear light, growing
                   is Lanczos. The pixels written are square, unless WxH squeezes the
                   picture: then PNG and JPEG files say the pixels' shape that shows it
                   unsqueezed
  --keep-going     report a frame that cannot be decoded, go on from the next key frame,
                   and count the frames missing at the end (default: stop at the first)
  --info           print the movie's frames, width and height (of the pictures written),
                   rotation (0, 90, 180, 270: the clockwise turn the display matrix gives),
                   mirrored (yes when it mirrors the picture left to right after the turn),
                   sar (the pixels' width to height), display_width and display_height (the
                   size with square pixels), fps, container, codec and colours (matrix,
                   range, primaries, transfer; what is assumed where the movie declares
                   none) and whether it is HDR
  --json           with --info: the same facts as one JSON object
  --list           print one CSV line a frame (frame, seconds, key, packet size) without
                   decoding
                   or, with --scenes, one line a shot (frame, seconds, score: how far the
                   pictures either side differ, 0 to 1), writing no pictures
  --help           show this help
  --version        show the version and the licence
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

// How pictures are shown, as the command line asks.
media::MovieOptions pictureOptions(const ExtractOptions& options) {
    return media::MovieOptions{.storedOrientation = options.noAutorotate,
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
    media::Movie movie(core::pathFromUtf8(name), pictureOptions(options));
    if (options.mode == ExtractOptions::Mode::List && options.scenes) {
        const MovieLength length{name, movie.frameCount(), movie.claimedFrameCount(),
                                 movie.frameTable(), movie.frameRate()};
        const FramePlan range = FramePlan::resolve(options, length);
        std::fputs(
            shotTableCsv(findShots(movie, range, *options.scenes, options.keepGoing), length.table)
                .c_str(),
            out);
    } else if (options.mode == ExtractOptions::Mode::List) {
        std::fputs(frameTableCsv(movie).c_str(), out);
    } else {
        try {
            movie.frame(0); // a display matrix may come with the pictures alone
        } catch (const media::MovieError&) {
            // The facts of the headers still hold; the frame fails where it is extracted.
        }
        std::fputs((options.json ? describeMovieAsJson(movie) : describeMovie(movie)).c_str(), out);
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
    if (options.names && !options.names->usesMovie() && !options.outPerMovie &&
        options.movies.size() > 1)
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

void refuseHugePictures(const std::string& name, const media::Movie& movie) {
    if (movie.width() > core::SizeRequest::largest || movie.height() > core::SizeRequest::largest)
        throw UsageError("the size asked for makes the pictures of '" + name + "' " +
                         std::to_string(movie.width()) + "x" + std::to_string(movie.height()) +
                         ": over " + std::to_string(core::SizeRequest::largest) + " pixels a side");
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
            media::MovieOptions opening = pictureOptions(options);
            opening.decoderThreads = 1;
            auto opened = std::make_unique<media::Movie>(core::pathFromUtf8(name), opening);
            const media::Movie& movie = *opened;
            refuseHugePictures(name, movie);
            for (const std::string& notice : {repairNotice(name, movie), lossNotice(name, movie),
                                              truncationNotice(name, movie)})
                if (!notice.empty())
                    report(err, notice);
            const MovieLength length{name, movie.frameCount(), movie.claimedFrameCount(),
                                     movie.frameTable(), movie.frameRate()};
            FramePlan plan = FramePlan::resolve(options, length);
            if (options.scenes) {
                std::vector<std::int32_t> starts;
                for (const media::ShotDetector::Shot& shot :
                     findShots(*opened, plan, *options.scenes, options.keepGoing))
                    starts.push_back(shot.frame);
                plan = plan.narrowed(starts);
            }
            const std::string outDir =
                options.outPerMovie ? options.outDir + "/" + movieBaseName(name) : options.outDir;
            result.tasks.push_back(std::make_unique<MovieTask>(
                name, outDir, std::move(plan), keyFramesOf(length.table), options.names));
            result.tasks.back()->keepIndex(movie.index());
            result.tasks.back()->describePictures(
                {std::int64_t{movie.width()} * movie.height(), movie.codecName()});
            refuseSharedFrameNames(*result.tasks.back(), options.format);
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
    media::MovieOptions decoding = pictureOptions(options);
    decoding.stopRequested = [] { return StopSignals::received() != 0; };
    if (options.keyFrames) {
        // Key frames decoded one packet at a time give frame threads nothing to overlap.
        decoding.decoderThreads = 1;
        decoding.keyFramesAlone = true;
    }
    const ExtractSettings settings{options.format, options.quality.value_or(JpegOptions{}.quality),
                                   options.keepGoing, decoding};
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
        report(err, "stopped by SIG" + std::string(StopSignals::name(signal)) + ": " +
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
        if (options.mode == ExtractOptions::Mode::Version) {
            std::fputs(core::versionText("kirimo-extract").c_str(), out);
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
