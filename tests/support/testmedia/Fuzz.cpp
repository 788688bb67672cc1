#include "support/testmedia/Fuzz.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace testmedia {

std::vector<std::vector<char>> fuzzedCopies(const std::filesystem::path& movie, int copies) {
    std::ifstream in(movie, std::ios::binary);
    const std::vector<char> sound{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::vector<std::vector<char>> result;
    if (sound.empty())
        return result;
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> place(0, sound.size() - 1);
    std::uniform_int_distribution<std::size_t> early(0,
                                                     std::min<std::size_t>(sound.size(), 2048) - 1);
    for (int copy = 0; copy < copies; ++copy) {
        std::vector<char> bytes = sound;
        for (int hit = 0; hit < 8; ++hit)
            bytes[copy < copies / 2 ? early(random) : place(random)] = static_cast<char>(random());
        result.push_back(std::move(bytes));
    }
    return result;
}

} // namespace testmedia
