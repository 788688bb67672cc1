#include "cli/ExtractOptions.h"

#include "cli/UsageError.h"
#include "core/Numbers.h"
#include "core/TimeText.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace cli {

namespace {

// Each job holds a decoder and a few pictures: about 50 MB at 1920x1080.
constexpr int maxJobs = 64;

struct Argument {
    std::string_view name;
    std::optional<std::string_view> inlineValue; // the part after "=" in "--name=value"
};

Argument splitArgument(std::string_view arg) {
    const std::size_t equals = arg.find('=');
    if (equals == std::string_view::npos)
        return {arg, std::nullopt};
    return {arg.substr(0, equals), arg.substr(equals + 1)};
}

bool isDecimal(std::string_view text) {
    if (text.starts_with('-') || text.starts_with('+'))
        text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// `lowest` and `highest` only word the complaint; the range itself is checked once all is read.
std::int32_t parseNumber(std::string_view option, std::string_view text, int lowest = 0,
                         int highest = 2147483647) {
    // Plain decimal only: hexadecimal forms would wrap silently into negative numbers.
    const std::optional<std::int32_t> value = isDecimal(text) ? core::strToInt(text) : std::nullopt;
    if (!value)
        throw UsageError("option '" + std::string(option) + "' needs a whole number from " +
                         std::to_string(lowest) + " to " + std::to_string(highest) + ", not '" +
                         std::string(text) + "'");
    return *value;
}

std::int64_t parseTimeValue(std::string_view option, std::string_view text) {
    const std::optional<std::int64_t> value = core::parseTime(text);
    if (!value)
        throw UsageError("option '" + std::string(option) +
                         "' needs a time such as 12.5, 12.5s, 1m, 1:23.5 or 01:02:03.040, not '" +
                         std::string(text) + "'");
    return *value;
}

std::vector<std::int64_t> parseTimeList(std::string_view option, std::string_view text) {
    std::vector<std::int64_t> times;
    for (;;) {
        const std::size_t comma = text.find(',');
        times.push_back(parseTimeValue(option, text.substr(0, comma)));
        if (comma == std::string_view::npos)
            return times;
        text.remove_prefix(comma + 1);
    }
}

class Parser {
public:
    explicit Parser(const std::vector<std::string_view>& args) : args_(args) {}

    ExtractOptions run() {
        for (index_ = 0; index_ < args_.size(); ++index_) {
            const std::string_view arg = args_[index_];
            if (arg == "--help" || arg == "-h") {
                options_.mode = ExtractOptions::Mode::Help;
                return options_;
            }
            if (arg == "--version") {
                options_.mode = ExtractOptions::Mode::Version;
                return options_;
            }
            if (onlyMoviesFollow_ || arg == "-" || !arg.starts_with('-'))
                addMovie(arg);
            else if (arg == "--")
                onlyMoviesFollow_ = true;
            else
                applyOption(splitArgument(arg));
        }
        checkComplete();
        checkTimeChoices();
        return options_;
    }

private:
    void addMovie(std::string_view arg) {
        if (arg.empty())
            throw UsageError("a movie name is empty");
        options_.movies.emplace_back(arg);
    }

    void applyOption(const Argument& arg) {
        if (arg.name == "--info" || arg.name == "--list") {
            noValue(arg);
            options_.mode =
                arg.name == "--info" ? ExtractOptions::Mode::Info : ExtractOptions::Mode::List;
        } else if (arg.name == "--json") {
            noValue(arg);
            options_.json = true;
        } else if (arg.name == "--keep-going") {
            noValue(arg);
            options_.keepGoing = true;
        } else if (arg.name == "--no-autorotate") {
            noValue(arg);
            options_.noAutorotate = true;
        } else if (arg.name == "--square-pixels") {
            noValue(arg);
            options_.squarePixels = true;
        } else if (arg.name == "--deinterlace") {
            noValue(arg);
            options_.deinterlace = true;
        } else if (arg.name == "--size") {
            try {
                options_.size = core::SizeRequest::parse(valueOf(arg));
            } catch (const std::invalid_argument& e) {
                throw UsageError(e.what());
            }
        } else if (arg.name == "--out-per-movie") {
            noValue(arg);
            options_.outPerMovie = true;
        } else if (arg.name == "--start") {
            setFrameOrTime(arg.name, valueOf(arg), options_.start, options_.startTime);
        } else if (arg.name == "--end") {
            setFrameOrTime(arg.name, valueOf(arg), options_.end, options_.endTime);
        } else if (arg.name == "--at") {
            options_.at = parseTimeList(arg.name, valueOf(arg));
        } else if (arg.name == "--every") {
            const std::string_view text = valueOf(arg);
            // A bare number could mean frames as much as seconds: --interval takes frames.
            if (!core::namesTime(text))
                throw UsageError("option '--every' needs a time with its unit, such as 2s, 0.5s, "
                                 "1m or 1:30, not '" +
                                 std::string(text) + "' (every N frames: '--interval N')");
            options_.every = parseTimeValue(arg.name, text);
        } else if (arg.name == "--name") {
            try {
                options_.names = core::NamePattern::parse(valueOf(arg));
            } catch (const std::invalid_argument& e) {
                throw UsageError(e.what());
            }
        } else if (arg.name == "--quality") {
            options_.quality = parseNumber(arg.name, valueOf(arg));
        } else if (arg.name == "--keyframes") {
            noValue(arg);
            options_.keyFrames = true;
        } else if (arg.name == "--scenes") {
            options_.scenes = parseNumber(arg.name, sceneValue(arg), 1, 100);
        } else if (arg.name == "--interval") {
            options_.interval = parseNumber(arg.name, valueOf(arg), 1);
        } else if (arg.name == "--frames") {
            options_.frames = FrameList::parse(valueOf(arg));
        } else if (arg.name == "--jobs") {
            options_.jobs = parseNumber(arg.name, valueOf(arg), 1, maxJobs);
        } else if (arg.name == "--format") {
            options_.format = parseFormat(valueOf(arg));
        } else if (arg.name == "--out") {
            options_.outDir = valueOf(arg);
            if (options_.outDir.empty())
                throw UsageError("option '--out' needs a folder name");
        } else {
            throw UsageError("unknown option '" + std::string(arg.name) + "'");
        }
    }

    // "--start 10" is frame 10; "--start 10s" and "--start 0:10" are ten seconds in.
    static void setFrameOrTime(std::string_view option, std::string_view text,
                               std::optional<std::int32_t>& frame,
                               std::optional<std::int64_t>& time) {
        if (core::namesTime(text)) {
            time = parseTimeValue(option, text);
            frame.reset();
        } else {
            frame = parseNumber(option, text);
            time.reset();
        }
    }

    static void noValue(const Argument& arg) {
        if (arg.inlineValue)
            throw UsageError("option '" + std::string(arg.name) + "' takes no value");
    }

    static ImageFormat parseFormat(std::string_view text) {
        std::string name(text); // PNG, Png and png alike: people write a format either way
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name == "bmp")
            return ImageFormat::Bmp;
        if (name == "png")
            return ImageFormat::Png;
        if (text == "jpg" || text == "jpeg")
            return ImageFormat::Jpeg;
        throw UsageError("option '--format' takes bmp, png or jpg, not '" + std::string(text) +
                         "'");
    }

    // The value is optional: "--scenes clip.mp4" takes the default, so only digits that follow
    // are read as its value.
    std::string_view sceneValue(const Argument& arg) {
        if (arg.inlineValue)
            return *arg.inlineValue;
        if (index_ + 1 < args_.size() && isDecimal(args_[index_ + 1]) &&
            std::isdigit(static_cast<unsigned char>(args_[index_ + 1].front())))
            return args_[++index_];
        return "50";
    }

    std::string_view valueOf(const Argument& arg) {
        if (arg.inlineValue)
            return *arg.inlineValue;
        if (index_ + 1 >= args_.size())
            throw UsageError("option '" + std::string(arg.name) + "' needs a value");
        return args_[++index_];
    }

    void checkComplete() const {
        if (options_.movies.empty())
            throw UsageError("no movie given");
        const bool describing = options_.mode == ExtractOptions::Mode::Info ||
                                options_.mode == ExtractOptions::Mode::List;
        if (describing && options_.movies.size() > 1)
            throw UsageError("'--info' and '--list' take one movie at a time");
        if (options_.json && options_.mode != ExtractOptions::Mode::Info)
            throw UsageError("option '--json' goes with '--info'");
        if (options_.jobs && (*options_.jobs < 1 || *options_.jobs > maxJobs))
            throw UsageError("the number of jobs must be from 1 to " + std::to_string(maxJobs) +
                             ", not " + std::to_string(*options_.jobs));
        if (options_.frames && (options_.start || options_.end || options_.interval != 1))
            throw UsageError("'--frames' replaces '--start', '--end' and '--interval'");
        if (options_.interval < 1)
            throw UsageError("the interval must be at least 1, not " +
                             std::to_string(options_.interval));
        if (options_.start && *options_.start < 0)
            throw UsageError("the start frame must be 0 or more, not " +
                             std::to_string(*options_.start));
        if (options_.end && *options_.end < 0)
            throw UsageError("the end frame must be 0 or more, not " +
                             std::to_string(*options_.end));
        if (options_.start && options_.end && *options_.start > *options_.end)
            throw UsageError("the start frame " + std::to_string(*options_.start) +
                             " lies after the end frame " + std::to_string(*options_.end));
    }

    // The ways of choosing frames that exclude each other.
    void checkTimeChoices() const {
        const bool ranged = options_.start || options_.end || options_.startTime ||
                            options_.endTime || options_.interval != 1;
        if (!options_.at.empty() &&
            (options_.frames || ranged || options_.every || options_.keyFrames))
            throw UsageError("'--at' names its frames itself: it goes with none of '--frames', "
                             "'--start', '--end', '--interval', '--every', '--keyframes'");
        if (options_.frames && (ranged || options_.every || options_.keyFrames))
            throw UsageError("'--frames' replaces '--start', '--end', '--interval', '--every' "
                             "and '--keyframes'");
        if ((options_.every || options_.keyFrames) && options_.interval != 1)
            throw UsageError(std::string(options_.every ? "'--every'" : "'--keyframes'") +
                             " replaces '--interval'");
        if (options_.scenes && (options_.frames || !options_.at.empty() || options_.every ||
                                options_.keyFrames || options_.interval != 1))
            throw UsageError("'--scenes' chooses its frames itself: it goes with none of "
                             "'--frames', '--at', '--every', '--keyframes', '--interval'");
        if (options_.scenes && (*options_.scenes < 1 || *options_.scenes > 100))
            throw UsageError("the keenness of '--scenes' must be from 1 to 100, not " +
                             std::to_string(*options_.scenes));
        if (options_.every && options_.keyFrames)
            throw UsageError("'--every' and '--keyframes' exclude each other");
        if (options_.every && *options_.every <= 0)
            throw UsageError("the time between pictures of '--every' must be more than 0");
        if (options_.quality && options_.format != ImageFormat::Jpeg)
            throw UsageError("option '--quality' goes with '--format jpg'");
        if (options_.quality && (*options_.quality < 1 || *options_.quality > 100))
            throw UsageError("the JPEG quality must be from 1 to 100, not " +
                             std::to_string(*options_.quality));
        if (options_.startTime && options_.endTime && *options_.startTime > *options_.endTime)
            throw UsageError("the start time lies after the end time");
    }

    const std::vector<std::string_view>& args_;
    std::size_t index_ = 0;
    bool onlyMoviesFollow_ = false;
    ExtractOptions options_;
};

} // namespace

ExtractOptions ExtractOptions::parse(const std::vector<std::string_view>& args) {
    return Parser(args).run();
}

} // namespace cli
