#include "cli/ExtractOptions.h"

#include "cli/OptionTable.h"
#include "cli/UsageError.h"

#include <algorithm>
#include <cctype>
#include <span>

namespace cli {

namespace {

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

bool isDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// The ways of choosing frames a command line names, the last of each kind. The options keep
// only the last named; these tell which were named together, so that ways which exclude each
// other are refused rather than one silently replacing another. Every frame (--interval 1) is
// what choosing nothing gives, so it excludes nothing.
class NamedChoices {
public:
    void note(const FrameChoice& choice) {
        const auto sameKind =
            std::find_if(choices_.begin(), choices_.end(), [&choice](const FrameChoice& named) {
                return named.index() == choice.index();
            });
        if (sameKind == choices_.end())
            choices_.push_back(choice);
        else
            *sameKind = choice;
    }

    template <typename Choice> const Choice* find() const {
        for (const FrameChoice& choice : choices_)
            if (const Choice* found = std::get_if<Choice>(&choice))
                return found;
        return nullptr;
    }

    std::int32_t interval() const {
        const EveryNthFrame* everyNth = find<EveryNthFrame>();
        return everyNth ? everyNth->interval : 1;
    }

    // Once the checks have passed, at most one way is left besides every frame.
    FrameChoice chosen() const {
        for (const FrameChoice& choice : choices_)
            if (const auto* everyNth = std::get_if<EveryNthFrame>(&choice);
                !everyNth || everyNth->interval != 1)
                return choice;
        return EveryNthFrame{};
    }

private:
    std::vector<FrameChoice> choices_;
};

// What a run that writes no pictures cannot carry out: options shaping the files written, and
// for --info, which describes the whole movie, the ways of choosing frames too; --list lists
// the frames a run would write, but not how their pictures would look. The folder (--out) only
// says where files would go, so scripts may pass it to every run.
constexpr std::string_view shapingFiles[] = {"--depth",   "--hdr",        "--format",
                                             "--quality", "--name",       "--deinterlace",
                                             "--sheet",   "--sheet-pages"};
constexpr std::string_view choosingFrames[] = {"--start", "--end",       "--interval", "--at",
                                               "--every", "--keyframes", "--scenes",   "--frames"};
constexpr std::string_view shapingPictures[] = {"--size", "--no-autorotate", "--square-pixels"};
constexpr std::string_view goingAboutARun[] = {"--manifest", "--dry-run", "--skip-existing"};

constexpr int maxSheetPages = 1000;

bool isAmong(std::string_view name, std::span<const std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class Parser {
public:
    explicit Parser(const std::vector<std::string_view>& args) : args_(args) {}

    ExtractOptions run() {
        for (index_ = 0; index_ < args_.size(); ++index_) {
            const std::string_view arg = args_[index_];
            if (const CommandLineOption* option = findOption(arg); option && option->answersAlone) {
                option->apply(options_, {arg, {}});
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
        takeFormatFromNames();
        checkChoices();
        options_.choice = named_.chosen();
        return options_;
    }

private:
    void addMovie(std::string_view arg) {
        if (arg.empty())
            throw UsageError("a movie name is empty");
        options_.movies.emplace_back(arg);
    }

    void applyOption(const Argument& arg) {
        const CommandLineOption* option = findOption(arg.name);
        // "--help=x" asks for no help: only the bare word does.
        if (!option || option->answersAlone)
            throw UsageError("unknown option '" + std::string(arg.name) + "'");
        if (option->givenOnce && wasGiven(option->name))
            throw UsageError("option '" + std::string(option->name) +
                             "' is given twice: the second would replace the first");
        option->apply(options_, {arg.name, valueFor(*option, arg)});
        named_.note(options_.choice);
        given_.push_back(option);
    }

    bool wasGiven(std::string_view name) const {
        return std::any_of(given_.begin(), given_.end(), [name](const CommandLineOption* option) {
            return option->name == name;
        });
    }

    std::string_view valueFor(const CommandLineOption& option, const Argument& arg) {
        if (option.takes == CommandLineOption::Takes::Nothing) {
            if (arg.inlineValue)
                throw UsageError("option '" + std::string(arg.name) + "' takes no value");
            return {};
        }
        if (arg.inlineValue)
            return *arg.inlineValue;
        if (option.takes == CommandLineOption::Takes::OptionalNumber) {
            // "--scenes clip.mp4" takes the default: only digits that follow are its value.
            if (index_ + 1 < args_.size() && isDigits(args_[index_ + 1]))
                return args_[++index_];
            return option.omittedValue;
        }
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
        if (options_.run.json && options_.mode != ExtractOptions::Mode::Info)
            throw UsageError("option '--json' goes with '--info'");
        constexpr int maxJobs = ExtractOptions::Run::maxJobs;
        if (options_.run.jobs && (*options_.run.jobs < 1 || *options_.run.jobs > maxJobs))
            throw UsageError("the number of jobs must be from 1 to " + std::to_string(maxJobs) +
                             ", not " + std::to_string(*options_.run.jobs));
        if (options_.run.stream && *options_.run.stream < 0)
            throw UsageError("the stream number must be 0 or more, not " +
                             std::to_string(*options_.run.stream));
        checkFrameRange();
        checkDescribing();
    }

    // "{frame}.png" asks for PNG files as much as "--format png" does.
    void takeFormatFromNames() {
        if (!options_.output.names)
            return;
        const std::string_view extension = options_.output.names->extension();
        const std::optional<ImageFormat> named = imageFormatNamed(extension);
        if (!named)
            return;
        if (wasGiven("--format") && *named != options_.output.format)
            throw UsageError("the name pattern ends in '." + std::string(extension) +
                             "', which is not the format '--format' asks for");
        options_.output.format = *named;
    }

    void checkDescribing() const {
        if (wasGiven("--info") && wasGiven("--list"))
            throw UsageError("'--info' and '--list' exclude each other");
        const bool info = options_.mode == ExtractOptions::Mode::Info;
        if (!info && options_.mode != ExtractOptions::Mode::List)
            return;
        const std::string mode = info ? "'--info'" : "'--list'";
        for (const CommandLineOption* option : given_) {
            const std::string name = "option '" + std::string(option->name) + "'";
            if (isAmong(option->name, shapingFiles))
                throw UsageError(name + " shapes the files written, and " + mode + " writes none");
            if (isAmong(option->name, goingAboutARun))
                throw UsageError(name + " goes with a run that writes files, and " + mode +
                                 " writes none");
            if (info && isAmong(option->name, choosingFrames))
                throw UsageError(name + " chooses frames, and " + mode +
                                 " describes the whole movie");
            if (!info && isAmong(option->name, shapingPictures))
                throw UsageError(name + " shapes the pictures written, and " + mode +
                                 " writes none");
        }
    }

    void checkFrameRange() const {
        const std::optional<std::int32_t> start = options_.range.startFrame();
        const std::optional<std::int32_t> end = options_.range.endFrame();
        if (named_.find<FrameList>() && (start || end || named_.interval() != 1))
            throw UsageError("'--frames' replaces '--start', '--end' and '--interval'");
        if (named_.interval() < 1)
            throw UsageError("the interval must be at least 1, not " +
                             std::to_string(named_.interval()));
        if (start && *start < 0)
            throw UsageError("the start frame must be 0 or more, not " + std::to_string(*start));
        if (end && *end < 0)
            throw UsageError("the end frame must be 0 or more, not " + std::to_string(*end));
        if (start && end && *start > *end)
            throw UsageError("the start frame " + std::to_string(*start) +
                             " lies after the end frame " + std::to_string(*end));
    }

    // The ways of choosing frames that exclude each other, and the values only they can judge.
    void checkChoices() const {
        const bool ranged = options_.range.start || options_.range.end || named_.interval() != 1;
        const FrameList* frames = named_.find<FrameList>();
        const EveryDuration* every = named_.find<EveryDuration>();
        const bool keyFrames = named_.find<KeyFrames>() != nullptr;
        const ShotStarts* scenes = named_.find<ShotStarts>();
        const bool at = named_.find<AtTimes>() != nullptr;
        if (at && (frames || ranged || every || keyFrames))
            throw UsageError("'--at' names its frames itself: it goes with none of '--frames', "
                             "'--start', '--end', '--interval', '--every', '--keyframes'");
        if (frames && (ranged || every || keyFrames))
            throw UsageError("'--frames' replaces '--start', '--end', '--interval', '--every' "
                             "and '--keyframes'");
        if ((every || keyFrames) && named_.interval() != 1)
            throw UsageError(std::string(every ? "'--every'" : "'--keyframes'") +
                             " replaces '--interval'");
        if (scenes && (frames || at || every || keyFrames || named_.interval() != 1))
            throw UsageError("'--scenes' chooses its frames itself: it goes with none of "
                             "'--frames', '--at', '--every', '--keyframes', '--interval'");
        if (scenes && (scenes->sensitivity < 1 || scenes->sensitivity > 100))
            throw UsageError("the keenness of '--scenes' must be from 1 to 100, not " +
                             std::to_string(scenes->sensitivity));
        if (every && keyFrames)
            throw UsageError("'--every' and '--keyframes' exclude each other");
        if (every && every->nanoseconds <= 0)
            throw UsageError("the time between pictures of '--every' must be more than 0");
        checkOutput();
        const std::optional<std::int64_t> startTime = options_.range.startTime();
        const std::optional<std::int64_t> endTime = options_.range.endTime();
        if (startTime && endTime && *startTime > *endTime)
            throw UsageError("the start time lies after the end time");
    }

    // Standard output takes one stream of pictures: nothing that names or finds files.
    void checkStream() const {
        const ExtractOptions::Output& output = options_.output;
        if (output.format == ImageFormat::Raw && !output.stream)
            throw UsageError("'--format raw' goes with '--out -': raw frames are no files");
        if (!output.stream || options_.mode != ExtractOptions::Mode::Extract)
            return;
        for (const std::string_view name :
             {"--out-per-movie", "--name", "--skip-existing", "--dry-run"})
            if (wasGiven(name))
                throw UsageError("option '" + std::string(name) +
                                 "' goes with files, and '--out -' writes none");
        if (output.manifest == "-")
            throw UsageError("'--manifest -' and '--out -' would both take standard output");
    }

    // A sheet is one picture of many frames: nothing that names, lists or keeps frame files.
    void checkSheet() const {
        const ExtractOptions::Output& output = options_.output;
        if (!output.sheet) {
            if (output.sheetPages)
                throw UsageError("option '--sheet-pages' goes with '--sheet'");
            return;
        }
        if (options_.mode != ExtractOptions::Mode::Extract)
            return;
        for (const std::string_view name : {"--name", "--manifest", "--skip-existing", "--dry-run"})
            if (wasGiven(name))
                throw UsageError("option '" + std::string(name) +
                                 "' goes with frame files, and '--sheet' writes one picture of "
                                 "many frames");
        if (output.format == ImageFormat::Raw)
            throw UsageError("'--format raw' gives frames of the movie's size, and a sheet is "
                             "not one");
        if (output.sheetPages && (*output.sheetPages < 1 || *output.sheetPages > maxSheetPages))
            throw UsageError("the number of sheet pages must be from 1 to " +
                             std::to_string(maxSheetPages) + ", not " +
                             std::to_string(*output.sheetPages));
    }

    // Only PNG holds 16 bits a channel and the chunks that say a picture is HDR.
    void checkDeep() const {
        const ExtractOptions::Output& output = options_.output;
        if (output.depth == 8 && !output.keepHdr)
            return;
        const std::string option = output.depth == 16 ? "'--depth 16'" : "'--hdr keep'";
        if (output.format != ImageFormat::Png)
            throw UsageError(option + " writes PNG files: JPEG, BMP and raw frames hold 8 bits "
                                      "a channel and no HDR; add '--format png'");
        if (output.sheet)
            throw UsageError(option + " goes with frame files, and '--sheet' writes a sheet");
        for (const std::string_view name : {"--size", "--square-pixels"})
            if (wasGiven(name))
                throw UsageError("option '" + std::string(name) + "' resizes pictures, and " +
                                 option + " writes them at their stored size");
    }

    void checkOutput() const {
        checkStream();
        checkSheet();
        checkDeep();
        const std::optional<int>& quality = options_.output.quality;
        if (quality && options_.output.format != ImageFormat::Jpeg)
            throw UsageError("option '--quality' goes with '--format jpg'");
        if (quality && (*quality < 1 || *quality > 100))
            throw UsageError("the JPEG quality must be from 1 to 100, not " +
                             std::to_string(*quality));
    }

    const std::vector<std::string_view>& args_;
    std::size_t index_ = 0;
    bool onlyMoviesFollow_ = false;
    ExtractOptions options_;
    NamedChoices named_;
    std::vector<const CommandLineOption*> given_; // in the order named
};

} // namespace

std::optional<ImageFormat> imageFormatNamed(std::string_view name) {
    std::string lower(name); // PNG, Png and png alike: people write a format either way
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "bmp")
        return ImageFormat::Bmp;
    if (lower == "png")
        return ImageFormat::Png;
    if (lower == "jpg" || lower == "jpeg")
        return ImageFormat::Jpeg;
    return std::nullopt;
}

ExtractOptions ExtractOptions::parse(const std::vector<std::string_view>& args) {
    return Parser(args).run();
}

} // namespace cli
