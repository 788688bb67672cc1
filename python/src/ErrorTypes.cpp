#include "ErrorTypes.h"

#include "cli/ExtractError.h"
#include "cli/UsageError.h"
#include "media/MovieError.h"
#include "picture/SizeError.h"

#include <cerrno>
#include <string>

namespace kirimo {

namespace py = pybind11;

namespace {

// Made once at import; the module keeps them alive.
PyObject* errorType = nullptr;
PyObject* notAMovieType = nullptr;
PyObject* damagedFrameType = nullptr;

PyObject* newType(py::module_& module, const char* name, const char* doc, PyObject* base) {
    const std::string qualified = std::string("kirimo.") + name;
    PyObject* type = PyErr_NewExceptionWithDoc(qualified.c_str(), doc, base, nullptr);
    if (type == nullptr)
        throw py::error_already_set();
    module.add_object(name, py::handle(type));
    return type;
}

void raise(PyObject* type, const std::string& message) {
    PyErr_SetString(type, message.c_str());
}

void raiseDamaged(const media::MovieError& error) {
    py::object exception = py::reinterpret_borrow<py::object>(damagedFrameType)(error.what());
    exception.attr("frame") = error.frame();
    exception.attr("depends_on") =
        error.dependsOn() >= 0 ? py::object(py::int_(error.dependsOn())) : py::object(py::none());
    PyErr_SetObject(damagedFrameType, exception.ptr());
}

void raiseMovieError(const media::MovieError& error) {
    using Kind = media::MovieError::Kind;
    switch (error.kind()) {
    case Kind::NoSuchFile: {
        py::object exception = py::reinterpret_borrow<py::object>(PyExc_FileNotFoundError)(
            ENOENT, error.what(), error.file().u8string());
        PyErr_SetObject(PyExc_FileNotFoundError, exception.ptr());
        return;
    }
    case Kind::NotAFile:
        raise(PyExc_IsADirectoryError, error.what());
        return;
    case Kind::NotAMovie:
    case Kind::NoVideo:
    case Kind::NoFrames:
    case Kind::Unsupported:
        raise(notAMovieType, error.what());
        return;
    case Kind::Stopped:
        raise(PyExc_KeyboardInterrupt, error.what());
        return;
    case Kind::Unreadable:
        break;
    }
    if (error.frame() >= 0)
        raiseDamaged(error);
    else
        raise(errorType, error.what());
}

void translate(std::exception_ptr thrown) {
    try {
        std::rethrow_exception(thrown);
    } catch (const media::MovieError& e) {
        raiseMovieError(e);
    } catch (const cli::UsageError& e) {
        raise(PyExc_ValueError, e.what());
    } catch (const cli::ExtractError& e) {
        raise(errorType, e.what());
    } catch (const picture::SizeError& e) {
        raise(PyExc_ValueError, e.what());
    }
}

} // namespace

void ErrorTypes::define(py::module_& module) {
    errorType =
        newType(module, "Error", "Every error of kirimo's own derives from this.", PyExc_Exception);
    notAMovieType = newType(module, "NotAMovie",
                            "The file is no movie that can be read: no container, no video "
                            "stream, no frame, or a codec no decoder here reads.",
                            errorType);
    damagedFrameType = newType(module, "DamagedFrame",
                               "A frame whose picture cannot be trusted. `frame` is its number; "
                               "`depends_on` the damaged frame it is built on, or None when it "
                               "is damaged itself.",
                               errorType);
    py::register_exception_translator(translate);
}

} // namespace kirimo
