#pragma once

#include <string_view>

namespace cli {

struct ExtractOptions;

// An option's value as given, with the option's name to word a complaint about it.
struct OptionValue {
    std::string_view option;
    std::string_view text;
};

// One entry of the option table: what the parser reads and the help shows.
struct CommandLineOption {
    enum class Takes {
        Nothing,
        Value,          // in the same argument after "=", or the next argument
        OptionalNumber, // after "=", or the next argument when it is all digits
    };

    std::string_view name;
    std::string_view alias; // accepted too, but not shown
    Takes takes = Takes::Nothing;
    std::string_view metavar;      // the value's name in the help
    std::string_view omittedValue; // what an OptionalNumber given without one means
    std::string_view help;         // lines as shown, the first beside the name
    // Answered at once wherever it stands (--help, --version), and only as the bare word.
    bool answersAlone = false;
    // Stores the value into the options; throws UsageError for a value it cannot take.
    void (*apply)(ExtractOptions& options, const OptionValue& value) = nullptr;
    // Named twice is refused: the second would silently replace the first.
    bool givenOnce = false;
};

} // namespace cli
