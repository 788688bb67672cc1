#pragma once

#include "core/Error.h"

namespace core {

// The runtime's integer division error, with the text users of the program know it by.
class DivisionByZero : public Error {
public:
    DivisionByZero() : Error("ゼロによる除算") {}
};

} // namespace core
