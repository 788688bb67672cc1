#pragma once

#include <filesystem>
#include <vector>

namespace testmedia {

// Copies of the movie with random bytes overwritten (eight a copy); the first half of them hit
// its first kilobytes, where headers and tables mostly are. The same copies on every run.
std::vector<std::vector<char>> fuzzedCopies(const std::filesystem::path& movie, int copies);

} // namespace testmedia
