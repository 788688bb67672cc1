#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// What the command line asks for, checked for everything that needs no movie to check.
struct ExtractOptions {
    enum class Mode { Extract, Info, Help };

    Mode mode = Mode::Extract;
    std::optional<std::int32_t> start;
    std::optional<std::int32_t> end;
    std::int32_t interval = 1;
    std::string outDir = ".";
    std::string movie;

    // Throws UsageError naming the offending argument.
    static ExtractOptions parse(const std::vector<std::string_view>& args);
};

} // namespace cli
