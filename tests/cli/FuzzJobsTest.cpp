#include "ExtractRun.h"
#include "support/testmedia/ContainerDamage.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/Fuzz.h"
#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using testmedia::Container;
using testmedia::ContainerRecipe;
using testmedia::VideoCodec;

struct Outcome {
    int exitCode = -1;
    std::vector<std::string> messages; // sorted: jobs report side by side
    std::map<std::string, std::vector<std::uint8_t>> files;
    bool operator==(const Outcome&) const = default;
};

std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

Outcome extract(const fs::path& root, const std::string& movie, int jobs) {
    const fs::path out = root / ("jobs" + std::to_string(jobs));
    fs::remove_all(out);
    const clitest::RunResult run = clitest::runExtract(
        {"--keep-going", "--jobs", std::to_string(jobs), "--out", out.string(), movie}, root);
    Outcome outcome{run.exitCode, sortedLines(run.err), {}};
    if (fs::exists(out))
        for (const std::string& name : clitest::fileNames(out))
            outcome.files[name] = clitest::readBytes(out / name);
    return outcome;
}

std::string describe(const Outcome& outcome) {
    std::string text = "exit " + std::to_string(outcome.exitCode) + ", " +
                       std::to_string(outcome.files.size()) + " files\n";
    for (const std::string& line : outcome.messages)
        text += line + "\n";
    return text;
}

int copiesPerMovie() {
    const char* configured = std::getenv("KIRIMO_FUZZ_COPIES");
    return configured ? std::max(1, std::atoi(configured)) : 12;
}

class FuzzJobs : public testing::TestWithParam<ContainerRecipe> {};

// Damaged movies give the same files and the same reports on every run and for any number of
// jobs: frame threads conceal damage differently each time, and a stretch that starts at a key
// frame must not see other pictures than a run through it.
TEST_P(FuzzJobs, SameFilesForEveryJobCountAndRun) {
    const ContainerRecipe recipe = GetParam();
    const fs::path root = clitest::freshFolder("fuzz-jobs-" + testmedia::recipeName(recipe));
    const std::string movie = "fuzz" + testmedia::containerExtension(recipe.container);
    int copy = 0;
    for (const std::vector<char>& bytes :
         testmedia::fuzzedCopies(testmedia::sharedContainerMovie(recipe), copiesPerMovie())) {
        std::ofstream(root / movie, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const Outcome first = extract(root, movie, 1);
        const Outcome again = extract(root, movie, 1);
        const Outcome jobs = extract(root, movie, 4);
        for (const std::string& line : first.messages) // never FFmpeg's own lines
            EXPECT_EQ(line.rfind("kirimo-extract: ", 0), 0u) << "copy " << copy << ": " << line;
        EXPECT_EQ(first, again) << "copy " << copy << ":\n"
                                << describe(first) << "again:\n"
                                << describe(again);
        EXPECT_EQ(first, jobs) << "copy " << copy << ":\n"
                               << describe(first) << "4 jobs:\n"
                               << describe(jobs);
        ++copy;
    }
}

ContainerRecipe recipe(Container container, VideoCodec codec) {
    ContainerRecipe recipe;
    recipe.container = container;
    recipe.codec = codec;
    return recipe;
}

INSTANTIATE_TEST_SUITE_P(Containers, FuzzJobs,
                         testing::Values(recipe(Container::Mp4FastStart, VideoCodec::H264),
                                         recipe(Container::Matroska, VideoCodec::H264),
                                         recipe(Container::WebM, VideoCodec::Vp9),
                                         recipe(Container::MpegTs, VideoCodec::Mpeg2),
                                         recipe(Container::MpegTs, VideoCodec::H264)),
                         [](const auto& info) { return testmedia::recipeName(info.param); });

// Damage of the kinds the review found, each written once: the same files and reports for every
// run and job count, with 0 differences.
struct DamagedMovie {
    std::string name;
    std::function<void(const fs::path&)> write;
};

class DamagedJobs : public testing::TestWithParam<DamagedMovie> {};

TEST_P(DamagedJobs, SameFilesForEveryJobCountAndRun) {
    const fs::path root = clitest::freshFolder("damaged-jobs-" + GetParam().name);
    const std::string movie = GetParam().name;
    GetParam().write(root / movie);
    const Outcome first = extract(root, movie, 1);
    const Outcome again = extract(root, movie, 1);
    const Outcome jobs = extract(root, movie, 4);
    EXPECT_EQ(first, again) << describe(first) << "again:\n" << describe(again);
    EXPECT_EQ(first, jobs) << describe(first) << "4 jobs:\n" << describe(jobs);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedJobs,
    testing::Values(
        DamagedMovie{"mjpeg_dct.avi",
                     [](const fs::path& file) { testmedia::writeScrambledFrame(file, 50, 24); }},
        DamagedMovie{
            "chunk_headers.avi",
            [](const fs::path& file) { testmedia::writeOverwrittenChunks(file, 50, 20, 22); }},
        DamagedMovie{"unstamped_cut.mkv",
                     [](const fs::path& file) {
                         fs::copy_file(testmedia::damagedContainerMovie(
                                           testmedia::ContainerDamage::MatroskaOpenGopUnstamped),
                                       file, fs::copy_options::overwrite_existing);
                     }}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

} // namespace
