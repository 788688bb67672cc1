#pragma once

#include <string>
#include <vector>

namespace kirimo {

// One run of the command line's library, in this process: what kirimo.extract does on each
// machine, so its files are the command line's own.
struct ExtractCall {
    int status = 0;
    std::string output; // what the command printed on standard output
    std::string errors; // and on standard error

    static ExtractCall run(const std::vector<std::string>& arguments);
};

} // namespace kirimo
