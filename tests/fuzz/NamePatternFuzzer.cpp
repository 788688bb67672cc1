// The input is a file name pattern as typed on the command line.

#include "FuzzCheck.h"
#include "core/NamePattern.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<core::NamePattern> pattern;
    try {
        pattern = core::NamePattern::parse(text);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    const core::NamePattern::Fields first{"clip", 0, 0, 1};
    const core::NamePattern::Fields last{"clip", std::numeric_limits<std::int32_t>::max(),
                                         std::int64_t{1} << 42, std::int64_t{1} << 40};
    const std::string firstName = pattern->expand(first);
    const std::string lastName = pattern->expand(last);
    fuzzCheck(firstName != lastName, "two frames never share a name");
    fuzzCheck(lastName.find_first_of("/\\") == std::string::npos, "a name stays in its folder");
    return 0;
}
