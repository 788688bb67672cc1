#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace clitest {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs kirimo-extract with `args` in `workDir`, its output captured; waits for it to end.
RunResult runExtract(const std::vector<std::string>& args, const std::filesystem::path& workDir);

// A fresh, empty folder under the test scratch folder, named after the running test.
std::filesystem::path freshFolder(const std::string& name);

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file);
// File names in a folder, sorted.
std::vector<std::string> fileNames(const std::filesystem::path& folder);

} // namespace clitest
