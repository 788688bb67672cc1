#pragma once

#include "media/Movie.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// A fuzz input opened as the program opens a movie, on one decoder thread (the fuzzer runs one
// input at a time). A movie refused with a MovieError keeps its promise: no movie, no finding.
class FuzzMovie {
public:
    static std::optional<media::Movie> open(const std::uint8_t* data, std::size_t size);
};
