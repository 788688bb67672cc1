#include "cli/FrameList.h"

#include "cli/UsageError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

namespace cli {

namespace {

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::int32_t parseFrame(std::string_view text, std::string_view part) {
    std::int32_t value = 0;
    const bool digitsOnly = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!digitsOnly || error != std::errc() || end != text.data() + text.size())
        throw UsageError("frame list part " + quoted(part) +
                         ": needs whole numbers from 0 to 2147483647, not " + quoted(text));
    return value;
}

} // namespace

FrameList FrameList::parse(std::string_view text) {
    FrameList list;
    std::size_t begin = 0;
    while (true) {
        const std::size_t comma = text.find(',', begin);
        const std::string_view part =
            text.substr(begin, comma == std::string_view::npos ? text.npos : comma - begin);
        if (part.empty())
            throw UsageError("the frame list " + quoted(text) + " has an empty part");
        Run run;
        std::string_view range = part;
        if (const std::size_t slash = part.find('/'); slash != std::string_view::npos) {
            range = part.substr(0, slash);
            if (range.find('-') == std::string_view::npos)
                throw UsageError("frame list part " + quoted(part) + ": a step needs a range");
            run.step = parseFrame(part.substr(slash + 1), part);
            if (run.step < 1)
                throw UsageError("frame list part " + quoted(part) +
                                 ": the step must be 1 or more");
        }
        if (const std::size_t dash = range.find('-'); dash != std::string_view::npos) {
            run.first = parseFrame(range.substr(0, dash), part);
            run.last = parseFrame(range.substr(dash + 1), part);
            if (run.first > run.last)
                throw UsageError("frame list part " + quoted(part) + ": the range runs backwards");
        } else {
            run.first = run.last = parseFrame(range, part);
        }
        list.runs_.push_back(run);
        if (comma == std::string_view::npos)
            return list;
        begin = comma + 1;
    }
}

std::int32_t FrameList::highest() const {
    std::int32_t highest = 0;
    for (const Run& run : runs_)
        highest = std::max(highest, run.last);
    return highest;
}

std::vector<std::int32_t> FrameList::resolve(std::int32_t movieFrames) const {
    // One flag a frame: duplicates vanish and memory follows the movie, not the list's text.
    std::vector<bool> listed(static_cast<std::size_t>(std::max(movieFrames, 0)));
    for (const Run& run : runs_)
        for (std::int64_t frame = run.first; frame <= run.last && frame < movieFrames;
             frame += run.step)
            listed[static_cast<std::size_t>(frame)] = true;
    std::vector<std::int32_t> frames;
    for (std::size_t frame = 0; frame < listed.size(); ++frame)
        if (listed[frame])
            frames.push_back(static_cast<std::int32_t>(frame));
    return frames;
}

} // namespace cli
