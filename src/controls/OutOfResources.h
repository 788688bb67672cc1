#pragma once

#include "core/Error.h"

// A platform resource (a timer, a handle) could not be obtained.
class EOutOfResources : public core::Error {
public:
    using core::Error::Error;
};
