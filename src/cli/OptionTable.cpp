#include "cli/OptionTable.h"

#include "cli/ExtractOptions.h"
#include "cli/UsageError.h"
#include "core/Numbers.h"
#include "core/TimeText.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace cli {

namespace {

using Takes = CommandLineOption::Takes;

bool isDecimal(std::string_view text) {
    if (text.starts_with('-') || text.starts_with('+'))
        text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// `lowest` and `highest` only word the complaint; the range itself is checked once all is read.
std::int32_t wholeNumber(const OptionValue& value, int lowest = 0, int highest = 2147483647,
                         std::string_view hint = {}) {
    // Plain decimal only: hexadecimal forms would wrap silently into negative numbers.
    const std::optional<std::int32_t> number =
        isDecimal(value.text) ? core::strToInt(value.text) : std::nullopt;
    if (!number)
        throw UsageError("option '" + std::string(value.option) + "' needs a whole number from " +
                         std::to_string(lowest) + " to " + std::to_string(highest) + ", not '" +
                         std::string(value.text) + "'" + std::string(hint));
    return *number;
}

std::int64_t timeValue(const OptionValue& value) {
    const std::optional<std::int64_t> time = core::parseTime(value.text);
    if (!time)
        throw UsageError("option '" + std::string(value.option) +
                         "' needs a time such as 12.5, 12.5s, 1m, 1:23.5 or 01:02:03.040, not '" +
                         std::string(value.text) + "'");
    return *time;
}

std::vector<std::int64_t> timeList(const OptionValue& value) {
    std::vector<std::int64_t> times;
    for (std::string_view text = value.text;;) {
        const std::size_t comma = text.find(',');
        times.push_back(timeValue({value.option, text.substr(0, comma)}));
        if (comma == std::string_view::npos)
            return times;
        text.remove_prefix(comma + 1);
    }
}

// A bare number could mean frames as much as seconds: --interval takes frames.
std::int64_t durationWithUnit(const OptionValue& value) {
    if (!core::namesTime(value.text))
        throw UsageError("option '--every' needs a time with its unit, such as 2s, 0.5s, "
                         "1m or 1:30, not '" +
                         std::string(value.text) + "' (every N frames: '--interval N')");
    return timeValue(value);
}

RangeBound rangeBound(const OptionValue& value) {
    if (core::namesTime(value.text))
        return FrameTime{timeValue(value)};
    // "1.5" reads as a time without its unit: say how to write one.
    const std::string hint = core::parseTime(value.text)
                                 ? " (a time needs its unit: '" + std::string(value.text) + "s')"
                                 : std::string();
    return wholeNumber(value, 0, 2147483647, hint);
}

std::string folderName(const OptionValue& value) {
    if (value.text.empty())
        throw UsageError("option '--out' needs a folder name");
    return std::string(value.text);
}

ImageFormat imageFormat(const OptionValue& value) {
    if (const std::optional<ImageFormat> format = imageFormatNamed(value.text))
        return *format;
    // Not among the names a pattern's extension sets: no file is ever written raw.
    if (value.text == "raw")
        return ImageFormat::Raw;
    throw UsageError("option '--format' takes bmp, png, jpg or raw, not '" +
                     std::string(value.text) + "'");
}

core::NamePattern namePattern(const OptionValue& value) {
    try {
        return core::NamePattern::parse(value.text);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

core::SizeRequest sizeRequest(const OptionValue& value) {
    try {
        return core::SizeRequest::parse(value.text);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

// "COLSxROWS", each from 1 to 100.
ExtractOptions::SheetGrid sheetGrid(const OptionValue& value) {
    constexpr int most = 100;
    const std::size_t cross = value.text.find('x');
    const auto side = [](std::string_view text) -> std::optional<std::int32_t> {
        return isDecimal(text) && !text.starts_with('-') && !text.starts_with('+')
                   ? core::strToInt(text)
                   : std::nullopt;
    };
    const std::optional<std::int32_t> columns =
        cross == std::string_view::npos ? std::nullopt : side(value.text.substr(0, cross));
    const std::optional<std::int32_t> rows =
        cross == std::string_view::npos ? std::nullopt : side(value.text.substr(cross + 1));
    if (!columns || !rows || *columns < 1 || *rows < 1 || *columns > most || *rows > most)
        throw UsageError("option '--sheet' needs columns x rows, each from 1 to " +
                         std::to_string(most) + ", such as 4x5, not '" + std::string(value.text) +
                         "'");
    return {*columns, *rows};
}

using Apply = void (*)(ExtractOptions& options, const OptionValue& value);

constexpr CommandLineOption flag(std::string_view name, std::string_view help, Apply apply) {
    return {name, {}, Takes::Nothing, {}, {}, help, false, apply};
}

constexpr CommandLineOption valued(std::string_view name, std::string_view metavar,
                                   std::string_view help, Apply apply) {
    return {name, {}, Takes::Value, metavar, {}, help, false, apply};
}

constexpr CommandLineOption givenOnce(CommandLineOption option) {
    option.givenOnce = true;
    return option;
}

constexpr CommandLineOption table[] = {
    valued("--start", "S",
           "first frame to write (default 0), or a time with \"s\" or a colon\n"
           "(--start 10s, --start 1:05.5): the frame shown then",
           [](ExtractOptions& options, const OptionValue& value) {
               options.range.start = rangeBound(value);
           }),
    valued("--end", "E",
           "last frame to write (default: the movie's last frame), or a time; an end\n"
           "past a movie's end is its last frame, with a note",
           [](ExtractOptions& options, const OptionValue& value) {
               options.range.end = rangeBound(value);
           }),
    valued("--interval", "I", "write frames S, S+I, S+2I, ... up to E (default 1)",
           [](ExtractOptions& options, const OptionValue& value) {
               options.choice = EveryNthFrame{wholeNumber(value, 1)};
           }),
    givenOnce(valued("--at", "T[,T...]",
                     "write the frames shown at times T, counted from the first frame: seconds\n"
                     "(12.5) or a timecode (1:23.5, 01:02:03.040), e.g. --at 0,1:23.5. The frame\n"
                     "shown at T is the last that starts at or before it; a time past the last\n"
                     "frame's end is an error.",
                     [](ExtractOptions& options, const OptionValue& value) {
                         options.choice = AtTimes{timeList(value)};
                     })),
    valued("--every", "D",
           "write the frames shown at 0, D, 2D, ... within --start and --end, each\n"
           "frame once (D: 2s, 0.5s, 1m or a timecode), e.g. --every 2s; on a movie of\n"
           "varying frame rate this differs from --interval",
           [](ExtractOptions& options, const OptionValue& value) {
               options.choice = EveryDuration{durationWithUnit(value)};
           }),
    flag("--keyframes",
         "write only the key frames within --start and --end, each decoded from\n"
         "its own data without the frames between them: quick, e.g. --keyframes",
         [](ExtractOptions& options, const OptionValue&) { options.choice = KeyFrames{}; }),
    {.name = "--scenes",
     .alias = {},
     .takes = Takes::OptionalNumber,
     .metavar = "[S]",
     .omittedValue = "50",
     .help = "write the first frame of every shot within --start and --end: the first\n"
             "frame, each frame after a cut, and the first clean frame after a fade or\n"
             "a dissolve of up to 1 s; a flash or a camera pan starts no shot. S from\n"
             "1 to 100 (default 50): the higher, the smaller a change that counts, so\n"
             "more shots found and more found wrongly. S is read as --scenes=S, or\n"
             "from the next argument when that is all digits: --scenes 70 clip.mp4.\n"
             "Every frame is decoded (as a small picture), the shots then written",
     .answersAlone = false,
     .apply =
         [](ExtractOptions& options, const OptionValue& value) {
             options.choice = ShotStarts{wholeNumber(value, 1, 100)};
         },
     .givenOnce = true},
    valued("--frames", "LIST",
           "write the listed frames instead, e.g. 0,10,100-200,500-900/25: single\n"
           "frames, inclusive ranges, ranges with a step; in any order, each written\n"
           "once. A frame past a movie's last frame is an error, not clamped.",
           [](ExtractOptions& options, const OptionValue& value) {
               options.choice = FrameList::parse(value.text);
           }),
    valued("--out", "DIR",
           "folder to write into, created when missing (default: the current folder);\n"
           "- writes the pictures one after another to standard output instead, in\n"
           "frame order, for programs that read a stream of pictures (a folder named\n"
           "'-' is ./-); a reader that stops reading ends the run quietly, e.g.\n"
           "--out - --format png | viewer, or --out - --format raw | encoder",
           [](ExtractOptions& options, const OptionValue& value) {
               options.output.folder = folderName(value);
               options.output.stream = value.text == "-";
           }),
    flag("--out-per-movie",
         "write each movie's frames into DIR/<movie name>/ instead; the default\n"
         "keeps one folder, as the names already say which movie a file is from",
         [](ExtractOptions& options, const OptionValue&) { options.output.perMovie = true; }),
    valued("--format", "F",
           "bmp (default), png (lossless, the same pixels, smaller files; those\n"
           "of a palettised movie keep its palette, one byte a pixel; those of a\n"
           "movie with an alpha channel keep it: RGBA) or jpg (baseline JPEG, colour\n"
           "at half resolution (4:2:0); the JFIF densities carry the shape of the\n"
           "movie's pixels), e.g. --format jpg --quality 85. BMP and JPEG files\n"
           "leave the alpha channel out, their colours as stored. With --out -, raw\n"
           "writes bare RGB24 frames (rows top first, no padding), each width x\n"
           "height as --info prints",
           [](ExtractOptions& options, const OptionValue& value) {
               options.output.format = imageFormat(value);
           }),
    valued("--quality", "Q",
           "JPEG quality from 1 to 100 (default 92); 100 keeps the colour at full\n"
           "resolution (4:4:4)",
           [](ExtractOptions& options, const OptionValue& value) {
               options.output.quality = wholeNumber(value, 1, 100);
           }),
    valued("--name", "PATTERN",
           "name the files by PATTERN (the extension follows the format), with the\n"
           "fields {movie}, {frame} (5 digits at least), {frame:N} (N digits),\n"
           "{time} (12.480: seconds, rounded up to the millisecond, so --at with it\n"
           "gives the same frame), {timecode} (00-01-23.480) and {index} (1, 2, 3, ...\n"
           "in frame order); e.g. --name \"{movie}-{timecode}\". It needs one of {frame},\n"
           "{time}, {timecode}, {index}, and no folder (that is --out). A pattern\n"
           "ending in .bmp, .png, .jpg or .jpeg keeps it and sets the format by it.\n"
           "The names must fit in 255 bytes.",
           [](ExtractOptions& options, const OptionValue& value) {
               options.output.names = namePattern(value);
           }),
    valued("--manifest", "FILE",
           "write one JSON line for each frame asked for into FILE (- for standard\n"
           "output), each movie's in frame order: movie, frame, time (seconds), key,\n"
           "file (null when none), status (written, skipped, damaged, exists) and,\n"
           "when not written, reason. A line comes once its file is complete, so\n"
           "it can be followed as the run goes, e.g. --manifest run.jsonl",
           [](ExtractOptions& options, const OptionValue& value) {
               if (value.text.empty())
                   throw UsageError("option '--manifest' needs a file name");
               options.output.manifest = std::string(value.text);
           }),
    flag("--dry-run",
         "write nothing, not even a folder: print the manifest of what the run\n"
         "would write (status planned, file the name it would get)",
         [](ExtractOptions& options, const OptionValue&) { options.run.dryRun = true; }),
    flag("--skip-existing",
         "leave a frame whose file is already there (files are written whole,\n"
         "then renamed into place, so one under its name is complete): a run\n"
         "stopped half way and run again writes only the files still missing",
         [](ExtractOptions& options, const OptionValue&) { options.run.skipExisting = true; }),
    valued("--jobs", "N",
           "movies and stretches of one movie decoded side by side (default: the\n"
           "number of cores, at most 64); the files are the same for every N",
           [](ExtractOptions& options, const OptionValue& value) {
               options.run.jobs = wholeNumber(value, 1, ExtractOptions::Run::maxJobs);
           }),
    flag("--no-autorotate",
         "write pictures as stored; by default a movie whose display matrix turns or\n"
         "mirrors its pictures (a phone's MP4 or MOV) is written upright, as\n"
         "players show it",
         [](ExtractOptions& options, const OptionValue&) { options.picture.noAutorotate = true; }),
    flag("--square-pixels",
         "write a movie whose pixels are not square (DV, anamorphic HD) at the size\n"
         "it is shown at, stretched in one direction (Lanczos); by default pictures\n"
         "keep their stored size, and PNG files say the pixels' shape (pHYs)",
         [](ExtractOptions& options, const OptionValue&) { options.picture.squarePixels = true; }),
    flag("--deinterlace",
         "deinterlace the frames the movie marks interlaced (bwdif, one picture a\n"
         "frame, each from its own fields and its neighbours', in the movie's field\n"
         "order); progressive frames stay as they are. Default: pictures as stored,\n"
         "fields woven, e.g. --deinterlace --format png",
         [](ExtractOptions& options, const OptionValue&) { options.picture.deinterlace = true; }),
    givenOnce(valued("--size", "SIZE",
                     "resize the pictures as shown (turned, pixels square): WxH, Wx or xH (the\n"
                     "other side keeps the shape), or N% (e.g. --size 640x, --size 50%), at\n"
                     "most 16384 a side; shrinking averages each area in linear light, growing\n"
                     "is Lanczos. The pixels written are square, unless WxH squeezes the\n"
                     "picture: then PNG and JPEG files say the pixels' shape that shows it\n"
                     "unsqueezed",
                     [](ExtractOptions& options, const OptionValue& value) {
                         options.picture.size = sizeRequest(value);
                     })),
    givenOnce(valued("--depth", "N",
                     "bits a channel: 8 (default) or 16, with --format png: a movie of more\n"
                     "than 8 bits a sample keeps its precision; one of 8 bits is written at 8",
                     [](ExtractOptions& options, const OptionValue& value) {
                         if (value.text != "8" && value.text != "16")
                             throw UsageError("option '--depth' takes 8 or 16, not '" +
                                              std::string(value.text) + "'");
                         options.output.depth = value.text == "16" ? 16 : 8;
                     })),
    givenOnce(valued("--hdr", "H",
                     "map (default): HDR tone-mapped to SDR as described below; keep, with\n"
                     "--format png: PQ and HLG pictures as the movie codes them, untouched by\n"
                     "the tone map, as 16-bit PNG in the movie's primaries (BT.2020) with a\n"
                     "cICP chunk, and mDCV and cLLI chunks where the movie states its mastering\n"
                     "display or light levels, so HDR viewers show them as HDR; e.g. --hdr\n"
                     "keep --format png --no-autorotate. 16-bit pictures keep their stored\n"
                     "size and orientation",
                     [](ExtractOptions& options, const OptionValue& value) {
                         if (value.text != "map" && value.text != "keep")
                             throw UsageError("option '--hdr' takes map or keep, not '" +
                                              std::string(value.text) + "'");
                         options.output.keepHdr = value.text == "keep";
                     })),
    givenOnce(valued("--sheet", "CxR",
                     "write one contact sheet a movie instead of frame files: C columns x R\n"
                     "rows of pictures in reading order, spread evenly over --start and --end\n"
                     "(or over the frames the other options choose), each with its time under\n"
                     "it, and a line with the movie's name, duration, size and codec above\n"
                     "them. Tiles are 320 pixels wide unless --size says otherwise; the file\n"
                     "is DIR/<movie>_sheet.bmp (or .png, .jpg), e.g. --sheet 4x5 --size 240x\n"
                     "--format png",
                     [](ExtractOptions& options, const OptionValue& value) {
                         options.output.sheet = sheetGrid(value);
                     })),
    givenOnce(valued("--sheet-pages", "N",
                     "with --sheet: spread N pages' worth of pictures over the movie, one file\n"
                     "a page, DIR/<movie>_sheet_1.bmp, _2, ... (default 1)",
                     [](ExtractOptions& options, const OptionValue& value) {
                         options.output.sheetPages = wholeNumber(value, 1, 1000);
                     })),
    givenOnce(valued("--stream", "N",
                     "read the N-th video stream (counted from 0 among the video streams, as\n"
                     "--info lists them) rather than the best one, for writing, --info and\n"
                     "--list; an AVI file is read by its first video stream only",
                     [](ExtractOptions& options, const OptionValue& value) {
                         options.run.stream = wholeNumber(value);
                     })),
    flag("--keep-going",
         "report a frame that cannot be decoded, go on from the next key frame,\n"
         "and count the frames missing at the end (default: stop at the first)",
         [](ExtractOptions& options, const OptionValue&) { options.run.keepGoing = true; }),
    flag("--info",
         "print the movie's frames, width and height (of the pictures written),\n"
         "rotation (0, 90, 180, 270: the clockwise turn the display matrix gives),\n"
         "mirrored (yes when it mirrors the picture left to right after the turn),\n"
         "sar (the pixels' width to height), display_width and display_height (the\n"
         "size with square pixels), fps, duration (seconds), container, codec,\n"
         "pixel_format, bit_depth, field_order (progressive, tff, bff or unknown,\n"
         "as the stream declares) and colours (matrix, range, primaries, transfer;\n"
         "what is assumed where the movie declares none) and whether it is HDR",
         [](ExtractOptions& options, const OptionValue&) {
             options.mode = ExtractOptions::Mode::Info;
         }),
    flag("--json", "with --info: the same facts as one JSON object",
         [](ExtractOptions& options, const OptionValue&) { options.run.json = true; }),
    flag("--list",
         "print one CSV line for each frame a run would write (frame, seconds, key,\n"
         "packet size), as --start, --end and the way of choosing frames say,\n"
         "without decoding or, with --scenes, one line a shot (frame, seconds,\n"
         "score: how far the pictures either side differ, 0 to 1), writing no\n"
         "pictures",
         [](ExtractOptions& options, const OptionValue&) {
             options.mode = ExtractOptions::Mode::List;
         }),
    {.name = "--help",
     .alias = "-h",
     .takes = Takes::Nothing,
     .metavar = {},
     .omittedValue = {},
     .help = "show this help",
     .answersAlone = true,
     .apply = [](ExtractOptions& options,
                 const OptionValue&) { options.mode = ExtractOptions::Mode::Help; }},
    {.name = "--version",
     .alias = {},
     .takes = Takes::Nothing,
     .metavar = {},
     .omittedValue = {},
     .help = "show the version and the licence",
     .answersAlone = true,
     .apply = [](ExtractOptions& options,
                 const OptionValue&) { options.mode = ExtractOptions::Mode::Version; }},
};

constexpr std::string_view usage = R"(Usage: kirimo-extract [OPTION]... MOVIE...
       kirimo-extract --info [--json] MOVIE
       kirimo-extract --list [--scenes [S]] MOVIE
Writes frames of movies as 24-bit BMP, PNG or JPEG files. Frame 12 of clip.avi becomes
DIR/clip_00012.bmp; frames are counted from 0.

)";

constexpr std::string_view closing =
    R"(Options also take the form --option=value. Existing files of the same names are replaced.
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

// "  --name VALUE   first line", the other lines under the first.
std::string optionHelp(const CommandLineOption& option) {
    std::string text = "  " + std::string(option.name);
    if (!option.metavar.empty())
        text += " " + std::string(option.metavar);
    text.append(text.size() + 2 <= helpColumn ? helpColumn - text.size() : 2, ' ');
    std::string_view lines = option.help;
    for (std::size_t end = lines.find('\n'); end != std::string_view::npos;
         end = lines.find('\n')) {
        text += lines.substr(0, end + 1);
        text.append(helpColumn, ' ');
        lines.remove_prefix(end + 1);
    }
    return text + std::string(lines) + "\n";
}

} // namespace

std::span<const CommandLineOption> optionTable() {
    return table;
}

const CommandLineOption* findOption(std::string_view name) {
    const auto found =
        std::find_if(std::begin(table), std::end(table), [name](const CommandLineOption& option) {
            return option.name == name || (!option.alias.empty() && option.alias == name);
        });
    return found == std::end(table) ? nullptr : found;
}

std::string helpText() {
    std::string text(usage);
    for (const CommandLineOption& option : table)
        text += optionHelp(option);
    return text + std::string(closing);
}

} // namespace cli
