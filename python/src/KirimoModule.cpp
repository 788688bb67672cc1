#include "ErrorTypes.h"
#include "ExtractCall.h"
#include "PythonMovie.h"
#include "core/Paths.h"
#include "media/FfmpegLog.h"
#include "media/IndexFile.h"

#include <pybind11/stl.h>
#include <string>

namespace py = pybind11;
using kirimo::MovieSettings;
using kirimo::PythonMovie;

namespace {

// A path as Python gives it (str or os.PathLike), as UTF-8.
std::string pathText(const py::object& path) {
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

std::optional<std::string> sizeText(const py::object& size) {
    if (size.is_none())
        return std::nullopt;
    if (py::isinstance<py::str>(size))
        return size.cast<std::string>();
    if (py::isinstance<py::tuple>(size) && py::len(size) == 2) {
        const py::tuple sides = size.cast<py::tuple>();
        const auto side = [](const py::handle value) {
            return value.is_none() ? std::string() : std::to_string(value.cast<int>());
        };
        return side(sides[0]) + "x" + side(sides[1]);
    }
    throw py::type_error("size is a text such as '320x', 'x240', '640x360' or '50%', or a "
                         "(width, height) tuple");
}

std::shared_ptr<const media::MovieIndex> indexFrom(const py::object& index,
                                                   const MovieSettings& settings) {
    if (index.is_none())
        return nullptr;
    const std::filesystem::path movie = core::pathFromUtf8(settings.path);
    // Bytes come from a pickle: made of another version of the file, the movie passes them by.
    const media::IndexFile saved =
        py::isinstance<py::bytes>(index)
            ? media::IndexFile::fromBytes(
                  [&] {
                      const std::string bytes = index.cast<std::string>();
                      return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
                  }(),
                  movie)
            : media::IndexFile::load(core::pathFromUtf8(pathText(index)), movie);
    if (saved.stream() != settings.stream)
        throw py::value_error("the saved index is of another video stream of '" + settings.path +
                              "'");
    return saved.index();
}

std::unique_ptr<PythonMovie> openMovie(const py::object& path, bool autorotate, bool squarePixels,
                                       bool deinterlace, const py::object& size, int threads,
                                       const std::string& colour, const py::object& stream,
                                       const py::object& index) {
    MovieSettings settings{.path = pathText(path),
                           .autorotate = autorotate,
                           .squarePixels = squarePixels,
                           .deinterlace = deinterlace,
                           .size = sizeText(size),
                           .threads = threads,
                           .colour = colour,
                           .stream = stream.is_none() ? -1 : stream.cast<int>()};
    settings.check();
    return std::make_unique<PythonMovie>(settings, indexFrom(index, settings));
}

py::tuple stateOf(PythonMovie& movie) {
    const MovieSettings& s = movie.settings();
    return py::make_tuple(s.path, s.autorotate, s.squarePixels, s.deinterlace, s.size, s.threads,
                          s.colour, s.stream, movie.indexBytes());
}

std::unique_ptr<PythonMovie> movieFromState(const py::tuple& state) {
    if (state.size() != 9)
        throw std::runtime_error("not the state of a kirimo.Movie");
    MovieSettings settings{.path = state[0].cast<std::string>(),
                           .autorotate = state[1].cast<bool>(),
                           .squarePixels = state[2].cast<bool>(),
                           .deinterlace = state[3].cast<bool>(),
                           .size = state[4].cast<std::optional<std::string>>(),
                           .threads = state[5].cast<int>(),
                           .colour = state[6].cast<std::string>(),
                           .stream = state[7].cast<int>()};
    const py::bytes index = state[8].cast<py::bytes>();
    return std::make_unique<PythonMovie>(
        settings, py::len(index) == 0 ? nullptr : indexFrom(index, settings));
}

// Iteration decodes on from one frame to the next; the movie stays usable for other calls.
struct FrameIterator {
    py::object owner;
    PythonMovie* movie;
    int position = 0;
};

void defineMovie(py::module_& module) {
    py::class_<FrameIterator>(module, "_FrameIterator")
        .def("__iter__", [](FrameIterator& it) -> FrameIterator& { return it; })
        .def("__next__", [](FrameIterator& it) { return it.movie->next(it.position); });
    py::class_<PythonMovie>(module, "Movie", R"doc(
A movie whose frames come as NumPy arrays: frame n is the n-th picture shown, counted from 0,
exactly, in every container.

    with kirimo.Movie("clip.mp4") as movie:
        first = movie[0]                   # (height, width, 3) uint8, RGB, rows top first
        batch = movie[[250, 10, 10, 999]]  # (4, height, width, 3), in the order asked

Options (keywords only): autorotate turns pictures upright as the movie's display matrix says;
square_pixels stretches them to square pixels; deinterlace deinterlaces pictures marked
interlaced; size resizes them ("320x", "x240", "640x360", "50%" or (width, height));
threads sets the decoder threads (0: as many as the machine has); colour is "rgb", "bgr" or
"rgba"; stream picks the N-th video stream (None: the best); index opens the movie with an index
saved by save_index() (a path) or carried by a pickle (bytes), without reading the file again.

One thread at a time may use a Movie (another gets RuntimeError); the GIL is released while it
decodes, so Movies in different threads decode at once.)doc")
        .def(py::init(&openMovie), py::arg("path"), py::kw_only(), py::arg("autorotate") = true,
             py::arg("square_pixels") = false, py::arg("deinterlace") = false,
             py::arg("size") = py::none(), py::arg("threads") = 0, py::arg("colour") = "rgb",
             py::arg("stream") = py::none(), py::arg("index") = py::none())
        .def("__len__", &PythonMovie::length, "The number of frames.")
        .def_property_readonly("width", &PythonMovie::width,
                               "The width of the pictures given, after turning and resizing.")
        .def_property_readonly("height", &PythonMovie::height,
                               "The height of the pictures given, after turning and resizing.")
        .def_property_readonly("fps", &PythonMovie::fps, "The frame rate, frames a second.")
        .def_property_readonly("duration", &PythonMovie::duration,
                               "Seconds from the first frame's start to the last frame's end.")
        .def_property_readonly("frame_times", &PythonMovie::frameTimes,
                               "When each frame starts showing, seconds from the first frame "
                               "(float64 array, display order).")
        .def_property_readonly("key_frames", &PythonMovie::keyFrames,
                               "The numbers of the key frames (int64 array).")
        .def_property_readonly("info", &PythonMovie::info,
                               "The facts `kirimo-extract --info --json` prints, as a dict.")
        .def_property_readonly("closed", &PythonMovie::closed, "Whether close() was called.")
        .def("__getitem__", &PythonMovie::item, py::arg("key"),
             "movie[n] is frame n's picture (negative n counts from the end); movie[a:b:s] and "
             "movie[[i, j, ...]] stack pictures in the order asked, each frame decoded once.")
        .def("frames_played_at", &PythonMovie::framesPlayedAt, py::arg("seconds"),
             "The pictures shown at these times (seconds from the first frame), stacked in the "
             "order given.")
        .def("frame_played_at", &PythonMovie::framePlayedAt, py::arg("seconds"),
             "The picture shown at this time (seconds from the first frame).")
        .def("frame_index_at", &PythonMovie::frameIndexAt, py::arg("seconds"),
             "The number of the frame shown at a time, or an array of them for a list of times.")
        .def("scenes", &PythonMovie::scenes, py::arg("sensitivity") = 50,
             "The first frame of every shot: the first frame, each frame after a cut, and the "
             "first clean frame after a fade or dissolve. sensitivity from 1 to 100: the higher, "
             "the smaller a change that counts.")
        .def(
            "save_index",
            [](PythonMovie& movie, const py::object& path) { movie.saveIndex(pathText(path)); },
            py::arg("path"),
            "Saves the frame index, for kirimo.Movie(path, index=...) to open the movie without "
            "reading it again; refused there once the movie has changed.")
        .def("close", &PythonMovie::close, "Closes the movie; later calls raise ValueError.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__",
             [](PythonMovie& movie, const py::args&) {
                 movie.close();
                 return false;
             })
        .def("__iter__",
             [](py::object self) {
                 return FrameIterator{self, &self.cast<PythonMovie&>(), 0};
             })
        .def("__repr__",
             [](PythonMovie& movie) {
                 const std::string path = py::repr(py::str(movie.settings().path));
                 if (movie.closed())
                     return "<kirimo.Movie " + path + ", closed>";
                 return "<kirimo.Movie " + path + ", " + std::to_string(movie.length()) +
                        " frames>";
             })
        .def(py::pickle(&stateOf, &movieFromState));
}

} // namespace

PYBIND11_MODULE(_kirimo, module) {
    module.doc() = "The engine of kirimo: exact frames of movies as NumPy arrays.";
    // The decoder's complaints are how damaged pictures are told; none reaches stderr raw.
    media::FfmpegLog::install();
    kirimo::ErrorTypes::define(module);
    defineMovie(module);
    module.def(
        "_run_extract",
        [](const std::vector<std::string>& arguments) {
            py::gil_scoped_release unlocked;
            const kirimo::ExtractCall call = kirimo::ExtractCall::run(arguments);
            py::gil_scoped_acquire locked;
            return py::make_tuple(call.status, call.output, call.errors);
        },
        py::arg("arguments"), "Runs kirimo-extract's command in this process.");
    module.attr("__version__") = KIRIMO_VERSION;
}
