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
#include <thread>

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

// Each manifest line's frame and status, in the order told.
std::vector<std::string> framesTold(const fs::path& manifest) {
    std::vector<std::string> told;
    std::ifstream in(manifest);
    for (std::string line; std::getline(in, line);) {
        const std::size_t frame = line.find("\"frame\":");
        const std::size_t status = line.find("\"status\":");
        told.push_back(line.substr(frame + 8, line.find(',', frame) - frame - 8) + " " +
                       line.substr(status + 9, line.find_first_of(",}", status) - status - 9));
    }
    return told;
}

// Pictures big enough for frame threads (one job on two cores or more; one thread with a job a
// core). Those frame threads handed out are decoded again on one thread once the decoder
// complains: every frame is told once, in order, as a run on one thread tells it.
TEST(DamagedJobsOnFrameThreads, TellEveryFrameOnceAsOneThreadDoes) {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    if (cores < 2)
        GTEST_SKIP() << "frame threads need two cores";
    const fs::path root = clitest::freshFolder("damaged-frame-threads");
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::H264;
    recipe.width = 1280;
    recipe.height = 720;
    recipe.frames = 40;
    recipe.gop = 250;
    testmedia::writeScrambledChunk(root / "720p.avi", recipe, 30);
    std::map<int, std::vector<std::string>> told;
    std::map<int, Outcome> outcomes;
    for (const int jobs : {1, std::min(cores, 8)}) {
        const std::string manifest = "told" + std::to_string(jobs) + ".jsonl";
        const fs::path out = root / ("jobs" + std::to_string(jobs));
        const clitest::RunResult run =
            clitest::runExtract({"--keep-going", "--jobs", std::to_string(jobs), "--manifest",
                                 manifest, "--out", out.string(), "720p.avi"},
                                root);
        Outcome& outcome = outcomes[jobs] = {run.exitCode, sortedLines(run.err), {}};
        for (const std::string& name : clitest::fileNames(out))
            outcome.files[name] = clitest::readBytes(out / name);
        told[jobs] = framesTold(root / manifest);
    }
    const Outcome& threads = outcomes[1];
    EXPECT_EQ(threads, outcomes[std::min(cores, 8)]) << describe(threads);
    EXPECT_EQ(threads.exitCode, 1);
    const std::vector<std::string>& lines = told[1];
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(recipe.frames));
    const auto damaged = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.ends_with("\"damaged\"");
    });
    ASSERT_NE(damaged, lines.end());
    const int first = static_cast<int>(damaged - lines.begin());
    for (int n = 0; n < recipe.frames; ++n)
        EXPECT_EQ(lines[static_cast<std::size_t>(n)],
                  std::to_string(n) + (n < first    ? " \"written\""
                                       : n == first ? " \"damaged\""
                                                    : " \"skipped\""));
    EXPECT_EQ(threads.files.size(), static_cast<std::size_t>(first));
}

} // namespace
