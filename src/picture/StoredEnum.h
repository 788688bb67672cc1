#pragma once

#include <cstring>

namespace picture {

// A damaged stream may declare a colour number outside its enumeration; read as an enumerator it
// is undefined behaviour, so it is read as the integer it is stored as.
template <typename Enum> int storedValueOf(const Enum& stored) {
    int value = 0;
    static_assert(sizeof value == sizeof stored);
    std::memcpy(&value, &stored, sizeof value);
    return value;
}

} // namespace picture
