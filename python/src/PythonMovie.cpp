#include "PythonMovie.h"

#include "cli/FrameClock.h"
#include "cli/FramePlan.h"
#include "cli/MovieInfo.h"
#include "cli/ShotSearch.h"
#include "core/Paths.h"
#include "media/IndexFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <process.h>
#define KIRIMO_PROCESS_ID _getpid
#else
#include <unistd.h>
#define KIRIMO_PROCESS_ID getpid
#endif

namespace kirimo {

namespace {

long thisProcess() {
    return static_cast<long>(KIRIMO_PROCESS_ID());
}

std::string inQuotes(const std::string& name) {
    return "'" + name + "'";
}

} // namespace

// Held while a call uses the movie. A second thread is refused at once: FFmpeg's decoder
// corrupts itself when two threads feed it.
class PythonMovie::Use {
public:
    explicit Use(PythonMovie& movie) : busy_(movie.busy_) {
        if (busy_.exchange(true))
            throw std::logic_error("this Movie is in use by another thread: open one Movie per "
                                   "thread (opening with the same index is cheap)");
    }
    ~Use() { busy_ = false; }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

private:
    std::atomic<bool>& busy_;
};

PythonMovie::PythonMovie(MovieSettings settings, std::shared_ptr<const media::MovieIndex> index)
    : settings_(std::move(settings)), index_(std::move(index)) {
    settings_.check();
    py::gil_scoped_release unlocked;
    ownMovie();
}

void PythonMovie::ownMovie() {
    if (movie_ && owner_ == thisProcess())
        return;
    // A forked child's copy leans on decoder threads only the parent has: it is left alone,
    // never closed, and the child opens the file anew.
    if (movie_)
        static_cast<void>(movie_.release());
    const std::filesystem::path file = core::pathFromUtf8(settings_.path);
    movie_ = index_ ? std::make_unique<media::Movie>(file, settings_.movieOptions(),
                                                     settings_.pictureOptions(), index_)
                    : std::make_unique<media::Movie>(file, settings_.movieOptions(),
                                                     settings_.pictureOptions());
    owner_ = thisProcess();
    settled_ = false;
    if (!index_)
        index_ = movie_->index();
}

media::Movie& PythonMovie::movie() {
    if (!movie_)
        throw std::invalid_argument("the Movie of " + inQuotes(settings_.path) + " is closed");
    ownMovie();
    return *movie_;
}

void PythonMovie::settle() {
    if (settled_)
        return;
    try {
        movie().frameInto(0, scratch_);
    } catch (const media::MovieError&) {
        // The headers' facts still hold; the frame fails where it is asked for.
    }
    settled_ = true;
}

int PythonMovie::length() {
    Use use(*this);
    return movie().frameCount();
}

int PythonMovie::width() {
    Use use(*this);
    settle();
    return movie().width();
}

int PythonMovie::height() {
    Use use(*this);
    settle();
    return movie().height();
}

double PythonMovie::fps() {
    Use use(*this);
    return movie().frameRate();
}

const std::vector<media::FrameRecord>& PythonMovie::table() {
    if (table_.empty())
        table_ = movie().frameTable();
    return table_;
}

double PythonMovie::duration() {
    Use use(*this);
    const cli::FrameClock clock(table(), movie().frameRate());
    return static_cast<double>(clock.end()) / 1e9;
}

py::array_t<double> PythonMovie::frameTimes() {
    Use use(*this);
    const cli::FrameClock clock(table(), movie().frameRate());
    py::array_t<double> times(clock.frameCount());
    double* out = times.mutable_data();
    for (std::int32_t n = 0; n < clock.frameCount(); ++n)
        out[n] = static_cast<double>(clock.startOf(n)) / 1e9;
    return times;
}

py::array_t<std::int64_t> PythonMovie::keyFrames() {
    Use use(*this);
    std::vector<std::int64_t> keys;
    const std::vector<media::FrameRecord>& records = table();
    for (std::size_t n = 0; n < records.size(); ++n)
        if (records[n].key)
            keys.push_back(static_cast<std::int64_t>(n));
    return py::array_t<std::int64_t>(static_cast<py::ssize_t>(keys.size()), keys.data());
}

py::dict PythonMovie::info() {
    Use use(*this);
    settle();
    const std::string json = cli::describeMovieAsJson(movie());
    return py::module_::import("json").attr("loads")(json);
}

int PythonMovie::normalised(std::int64_t index) {
    const int count = movie().frameCount();
    const std::int64_t frame = index < 0 ? index + count : index;
    if (frame < 0 || frame >= count)
        throw py::index_error(
            "frame " + std::to_string(index) + " is out of range: " + inQuotes(settings_.path) +
            " has " + std::to_string(count) + " frames (0 to " + std::to_string(count - 1) + ")");
    return static_cast<int>(frame);
}

namespace {

bool isWholeNumber(const py::handle& value) {
    // An array of one element has __index__ too, but asks for a stack of one picture.
    if (py::isinstance<py::array>(value))
        return py::reinterpret_borrow<py::array>(value).ndim() == 0 &&
               PyIndex_Check(value.ptr()) != 0;
    return !py::isinstance<py::bool_>(value) && PyIndex_Check(value.ptr()) != 0;
}

std::int64_t wholeNumber(const py::handle& value) {
    if (!isWholeNumber(value))
        throw py::type_error("a frame number must be an int, not " +
                             std::string(py::str(value.get_type().attr("__name__"))));
    return py::int_(py::reinterpret_borrow<py::object>(value)).cast<std::int64_t>();
}

} // namespace

std::vector<std::int32_t> PythonMovie::indicesOf(const py::object& key) {
    std::vector<std::int32_t> frames;
    if (py::isinstance<py::slice>(key)) {
        py::ssize_t start = 0, stop = 0, step = 0, count = 0;
        if (!key.cast<py::slice>().compute(movie().frameCount(), &start, &stop, &step, &count))
            throw py::error_already_set();
        for (py::ssize_t i = 0; i < count; ++i)
            frames.push_back(static_cast<std::int32_t>(start + i * step));
        return frames;
    }
    if (py::isinstance<py::array>(key)) {
        const py::array array = key.cast<py::array>();
        const char kind = array.dtype().kind();
        if ((kind != 'i' && kind != 'u') || array.ndim() != 1)
            throw py::type_error("frames are asked for by a one-dimensional array of ints, not "
                                 "one of " +
                                 std::string(py::str(array.dtype())) + " with " +
                                 std::to_string(array.ndim()) + " dimensions");
    } else if (!py::isinstance<py::sequence>(key) || py::isinstance<py::str>(key) ||
               py::isinstance<py::bytes>(key)) {
        throw py::type_error("frames are asked for by an int, a slice, or a list or array of "
                             "ints, not " +
                             std::string(py::str(key.get_type().attr("__name__"))));
    }
    for (const py::handle value : key)
        frames.push_back(normalised(wholeNumber(value)));
    return frames;
}

py::array PythonMovie::item(const py::object& key) {
    Use use(*this);
    if (isWholeNumber(key))
        return fetch({normalised(wholeNumber(key))}, true);
    return fetch(indicesOf(key), false);
}

py::array PythonMovie::fetch(const std::vector<std::int32_t>& frames, bool single) {
    {
        py::gil_scoped_release unlocked;
        settle();
    }
    const media::Movie& shown = movie();
    const picture::PixelLayout layout = settings_.layout();
    std::vector<py::ssize_t> shape{shown.height(), shown.width(), layout.channels()};
    if (!single)
        shape.insert(shape.begin(), static_cast<py::ssize_t>(frames.size()));
    py::array_t<std::uint8_t> pictures(shape);
    std::uint8_t* out = pictures.mutable_data();
    const std::size_t frameBytes = layout.bytesFor(shown.width(), shown.height());
    py::gil_scoped_release unlocked;
    decodeInto(frames, out, frameBytes);
    return pictures;
}

// Each frame decoded once, in ascending order: the movie reads on from one to the next and
// seeks only across gaps. A picture from frame threads is decoded again on one thread once the
// decoder has complained since it was asked for, as the command line does.
void PythonMovie::decodeInto(const std::vector<std::int32_t>& frames, std::uint8_t* out,
                             std::size_t frameBytes) {
    std::vector<std::size_t> order(frames.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return frames[a] < frames[b]; });
    media::Movie& source = movie();
    const picture::PixelLayout layout = settings_.layout();
    const std::uint64_t mark = source.complaints();
    std::vector<std::size_t> threaded; // positions in `order` of the first of each frame
    const auto decode = [&](std::size_t first) {
        const std::int32_t frame = frames[order[first]];
        source.frameInto(frame, scratch_);
        if (scratch_.width != source.width() || scratch_.height != source.height())
            throw std::runtime_error("frame " + std::to_string(frame) + " of " +
                                     inQuotes(settings_.path) + " has another size than frame 0");
        layout.pack(scratch_, out + order[first] * frameBytes);
    };
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && frames[order[i]] == frames[order[i - 1]])
            continue;
        decode(i);
        if (source.decodesOnFrameThreads())
            threaded.push_back(i);
    }
    // A picture comes out of frame threads only once every packet before its own is decoded,
    // so whatever the decoder will say of its references it has said: the count tells without
    // waiting for the threads, which keep decoding on for the next call.
    if (!threaded.empty() && source.complaints() > mark && source.complainedSince(mark))
        for (const std::size_t first : threaded)
            decode(first);
    for (std::size_t i = 1; i < order.size(); ++i)
        if (frames[order[i]] == frames[order[i - 1]])
            std::memcpy(out + order[i] * frameBytes, out + order[i - 1] * frameBytes, frameBytes);
}

std::vector<std::int64_t> PythonMovie::nanosecondsOf(const py::object& seconds) {
    std::vector<double> values;
    // Arrays first: one of any size has __index__ and __float__ too.
    if (py::isinstance<py::str>(seconds) || py::isinstance<py::bytes>(seconds))
        throw py::type_error("times are seconds: a float or a list or array of floats");
    try {
        if (py::isinstance<py::iterable>(seconds))
            for (const py::handle value : seconds)
                values.push_back(py::cast<double>(value));
        else
            values.push_back(py::cast<double>(seconds));
    } catch (const py::cast_error&) {
        throw py::type_error("times are seconds: a float or a list or array of floats");
    }
    std::vector<std::int64_t> nanoseconds;
    for (const double value : values) {
        if (!std::isfinite(value) || value < 0 || value > 9e9)
            throw py::value_error("a time must be 0 seconds or more, not " +
                                  std::string(py::str(py::float_(value))));
        nanoseconds.push_back(std::llround(value * 1e9));
    }
    return nanoseconds;
}

py::array PythonMovie::framesPlayedAt(const py::object& seconds) {
    Use use(*this);
    const std::vector<std::int64_t> times = nanosecondsOf(seconds);
    return fetch(
        cli::FramePlan::framesShownAt(times, cli::MovieLength::of(settings_.path, movie())), false);
}

py::array PythonMovie::framePlayedAt(double seconds) {
    Use use(*this);
    const std::vector<std::int64_t> times = nanosecondsOf(py::float_(seconds));
    return fetch(
        cli::FramePlan::framesShownAt(times, cli::MovieLength::of(settings_.path, movie())), true);
}

py::object PythonMovie::frameIndexAt(const py::object& seconds) {
    Use use(*this);
    const std::vector<std::int32_t> frames = cli::FramePlan::framesShownAt(
        nanosecondsOf(seconds), cli::MovieLength::of(settings_.path, movie()));
    if (!py::isinstance<py::iterable>(seconds))
        return py::int_(frames.front());
    std::vector<std::int64_t> wide(frames.begin(), frames.end());
    return py::array_t<std::int64_t>(static_cast<py::ssize_t>(wide.size()), wide.data());
}

std::vector<std::int32_t> PythonMovie::scenes(int sensitivity) {
    Use use(*this);
    if (sensitivity < 1 || sensitivity > 100)
        throw py::value_error("the keenness of the shot search must be from 1 to 100, not " +
                              std::to_string(sensitivity));
    const cli::MovieLength length = cli::MovieLength::of(settings_.path, movie());
    py::gil_scoped_release unlocked;
    // A movie of its own: the search changes how its movie decodes and what pictures it makes.
    media::Movie searched(core::pathFromUtf8(settings_.path), settings_.movieOptions(), {}, index_);
    const cli::FramePlan plan = cli::FramePlan::resolve({}, cli::ShotStarts{sensitivity}, length);
    std::vector<std::int32_t> starts;
    for (const picture::ShotDetector::Shot& shot :
         cli::findShots(searched, plan, sensitivity, false))
        starts.push_back(shot.frame);
    return starts;
}

py::array PythonMovie::next(int& position) {
    Use use(*this);
    if (position >= movie().frameCount())
        throw py::stop_iteration();
    py::array picture = fetch({position}, true);
    ++position;
    return picture;
}

py::bytes PythonMovie::indexBytes() {
    Use use(*this);
    movie();
    if (!index_)
        return py::bytes();
    const std::vector<std::uint8_t> bytes = media::IndexFile(index_, settings_.stream).bytes();
    return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void PythonMovie::saveIndex(const std::string& file) {
    Use use(*this);
    movie();
    if (!index_)
        throw py::value_error(inQuotes(settings_.path) +
                              " needs no saved index: its own is read at once");
    media::IndexFile(index_, settings_.stream).save(core::pathFromUtf8(file));
}

void PythonMovie::close() {
    Use use(*this);
    if (movie_ && owner_ != thisProcess())
        static_cast<void>(movie_.release());
    movie_.reset();
}

} // namespace kirimo
