#include "ExtractRun.h"
#include "support/testmedia/TestMedia.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::freshFolder;
using clitest::runExtract;

// The raw text of `key`'s value in one manifest line: "written" for a string, 12 for a number.
std::string valueOf(const std::string& line, const std::string& key) {
    const std::size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos)
        return {};
    std::size_t begin = at + key.size() + 3;
    if (line[begin] == '"') {
        ++begin;
        return line.substr(begin, line.find('"', begin) - begin);
    }
    return line.substr(begin, line.find_first_of(",}", begin) - begin);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos;
         begin = end + 1)
        lines.push_back(text.substr(begin, end - begin));
    return lines;
}

std::vector<std::string> linesOfFile(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

testmedia::MovieRecipe mjpegMovie(int frames) {
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::Mjpeg;
    recipe.frames = frames;
    recipe.width = 128;
    recipe.height = 96;
    return recipe;
}

// Read through a pipe while the run goes: each line's file must already be whole under its name,
// and lines come in frame order though four jobs write stretches side by side.
TEST(ExtractManifest, ALineFollowsItsCompleteFileInFrameOrder) {
    const fs::path movie = testmedia::sharedMovie(mjpegMovie(80));
    const fs::path root = freshFolder("manifest-follow");
    const fs::path fifo = root / "manifest";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    clitest::BackgroundRun run(
        {"--jobs", "4", "--manifest", fifo.string(), "--out", "out", movie.string()}, root);

    std::ifstream follow(fifo);
    const std::uintmax_t bmpSize = 54 + 128 * 3 * 96;
    int expectedFrame = 0;
    for (std::string line; std::getline(follow, line); ++expectedFrame) {
        ASSERT_EQ(valueOf(line, "status"), "written") << line;
        EXPECT_EQ(valueOf(line, "frame"), std::to_string(expectedFrame)) << line;
        std::error_code error;
        EXPECT_EQ(fs::file_size(root / valueOf(line, "file"), error), bmpSize) << line;
    }
    EXPECT_EQ(expectedFrame, 80);
    EXPECT_EQ(run.wait(30.0).exitCode, 0);
}

// A damaged frame is told as such; with --keep-going the rest are written, without it the
// frames after it are skipped, even those another job had written before the run took them back.
TEST(ExtractManifest, TellsADamagedFrameAndWhatFollowsIt) {
    const fs::path root = freshFolder("manifest-damaged");
    testmedia::writeGarbledFrame(root / "bad.avi", 30, 10);
    for (const bool keepGoing : {true, false}) {
        const std::string name = keepGoing ? "keep-going" : "stop";
        std::vector<std::string> args{"--jobs", "2",  "--manifest", name + ".jsonl",
                                      "--out",  name, "bad.avi"};
        if (keepGoing)
            args.push_back("--keep-going");

        EXPECT_EQ(runExtract(args, root).exitCode, 1);

        const std::vector<std::string> lines = linesOfFile(root / (name + ".jsonl"));
        ASSERT_EQ(lines.size(), 30u) << name;
        for (int frame = 0; frame < 30; ++frame) {
            const std::string& line = lines[static_cast<std::size_t>(frame)];
            EXPECT_EQ(valueOf(line, "frame"), std::to_string(frame)) << line;
            const std::string expected = frame == 10               ? "damaged"
                                         : frame < 10 || keepGoing ? "written"
                                                                   : "skipped";
            EXPECT_EQ(valueOf(line, "status"), expected) << line;
            EXPECT_EQ(fs::exists(root / name /
                                 ("bad_000" + std::to_string(frame / 10) +
                                  std::to_string(frame % 10) + ".bmp")),
                      expected == "written")
                << line;
            EXPECT_EQ(valueOf(line, "file") == "null", expected != "written") << line;
            EXPECT_EQ(valueOf(line, "reason").empty(), expected == "written") << line;
        }
    }
}

// The plan alone: what each frame would be named, and not a file or folder made.
TEST(ExtractManifest, DryRunPrintsThePlanAndCreatesNothing) {
    const fs::path movie = testmedia::sharedMovie(mjpegMovie(30));
    const fs::path root = freshFolder("manifest-dry");

    const clitest::RunResult run =
        runExtract({"--dry-run", "--interval", "10", "--out", "a/b", movie.string()}, root);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    const std::string base = movie.stem().string();
    for (int index = 0; index < 3; ++index) {
        const std::string& line = lines[static_cast<std::size_t>(index)];
        EXPECT_EQ(valueOf(line, "status"), "planned") << line;
        EXPECT_EQ(valueOf(line, "file"), "a/b/" + base + "_000" + std::to_string(index) + "0.bmp")
            << line;
    }
    EXPECT_TRUE(fs::is_empty(root));
}

} // namespace
