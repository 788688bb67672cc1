#pragma once

#include <pybind11/pybind11.h>

namespace kirimo {

// kirimo.Error and its kinds, and the translation of the engine's exceptions into them and into
// Python's own (FileNotFoundError, ValueError ...).
class ErrorTypes {
public:
    static void define(pybind11::module_& module);
};

} // namespace kirimo
