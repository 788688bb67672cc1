#include "cli/ExtractOptions.h"

#include "cli/UsageError.h"
#include "core/Numbers.h"

#include <algorithm>
#include <cctype>

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

std::int32_t parseNumber(std::string_view option, std::string_view text) {
    // Plain decimal only: hexadecimal forms would wrap silently into negative numbers.
    const std::optional<std::int32_t> value = isDecimal(text) ? core::strToInt(text) : std::nullopt;
    if (!value)
        throw UsageError("option '" + std::string(option) +
                         "' needs a whole number from 0 to 2147483647, not '" + std::string(text) +
                         "'");
    return *value;
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
            if (onlyMoviesFollow_ || arg == "-" || !arg.starts_with('-'))
                addMovie(arg);
            else if (arg == "--")
                onlyMoviesFollow_ = true;
            else
                applyOption(splitArgument(arg));
        }
        checkComplete();
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
        } else if (arg.name == "--out-per-movie") {
            noValue(arg);
            options_.outPerMovie = true;
        } else if (arg.name == "--start") {
            options_.start = parseNumber(arg.name, valueOf(arg));
        } else if (arg.name == "--end") {
            options_.end = parseNumber(arg.name, valueOf(arg));
        } else if (arg.name == "--interval") {
            options_.interval = parseNumber(arg.name, valueOf(arg));
        } else if (arg.name == "--frames") {
            options_.frames = FrameList::parse(valueOf(arg));
        } else if (arg.name == "--jobs") {
            options_.jobs = parseNumber(arg.name, valueOf(arg));
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

    static void noValue(const Argument& arg) {
        if (arg.inlineValue)
            throw UsageError("option '" + std::string(arg.name) + "' takes no value");
    }

    static ImageFormat parseFormat(std::string_view text) {
        if (text == "bmp")
            return ImageFormat::Bmp;
        if (text == "png")
            return ImageFormat::Png;
        throw UsageError("option '--format' takes bmp or png, not '" + std::string(text) + "'");
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
