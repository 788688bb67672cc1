#pragma once

#include <stdexcept>
#include <string>

namespace picture {

// A size asked for that no picture can be made at: a typing error, not a wish.
class SizeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace picture
