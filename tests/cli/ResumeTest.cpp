#include "ExtractRun.h"
#include "support/testmedia/TestMedia.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::fileNames;
using clitest::freshFolder;
using clitest::readBytes;
using clitest::runExtract;

// A run with some of its files gone, run again with --skip-existing: the files it writes, from
// seeks into the middle of groups of pictures, are those of one whole run, and the files that
// were there are left alone (an old time stamp stays).
TEST(ExtractSkipExisting, WritesOnlyTheMissingFilesAsAWholeRunWould) {
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::Mpeg4BFrames;
    recipe.frames = 40;
    const fs::path movie = testmedia::sharedMovie(recipe);
    const fs::path root = freshFolder("skip-existing");
    ASSERT_EQ(runExtract({"--out", "whole", movie.string()}, root).exitCode, 0);
    ASSERT_EQ(runExtract({"--out", "resumed", movie.string()}, root).exitCode, 0);
    const std::vector<std::string> names = fileNames(root / "whole");
    ASSERT_EQ(names.size(), 40u);
    const std::set<std::size_t> removed{5, 17, 18, 19, 20, 21, 22, 39};
    const fs::file_time_type old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (std::size_t index = 0; index < names.size(); ++index) {
        const fs::path file = root / "resumed" / names[index];
        if (removed.count(index))
            fs::remove(file);
        else
            fs::last_write_time(file, old);
    }

    const clitest::RunResult run = runExtract({"--skip-existing", "--jobs", "2", "--manifest",
                                               "m.jsonl", "--out", "resumed", movie.string()},
                                              root);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(fileNames(root / "resumed"), names);
    std::ifstream manifest(root / "m.jsonl");
    std::string line;
    for (std::size_t index = 0; index < names.size(); ++index) {
        const fs::path file = root / "resumed" / names[index];
        EXPECT_EQ(readBytes(file), readBytes(root / "whole" / names[index])) << names[index];
        const bool kept = removed.count(index) == 0;
        EXPECT_EQ(fs::last_write_time(file) == old, kept) << names[index];
        ASSERT_TRUE(std::getline(manifest, line));
        EXPECT_NE(line.find(kept ? "\"status\":\"exists\"" : "\"status\":\"written\""),
                  std::string::npos)
            << line;
    }
}

} // namespace
