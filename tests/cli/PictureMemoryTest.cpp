#include "cli/PictureMemory.h"

#include "ExtractRun.h"
#include "cli/UsageError.h"
#include "support/testmedia/TestMedia.h"

#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;
using cli::PictureMemory;

constexpr std::int64_t gigabyte = std::int64_t{1} << 30;
constexpr std::int64_t huge = std::int64_t{16384} * 16384;

// What cannot fit is refused, naming the ways out; a job that holds much is warned of, one that
// holds little passes without a word, and memory unknown refuses nothing.
TEST(PictureMemory, RefusesWhatCannotFitAndWarnsOfWhatHoldsMuch) {
    try {
        PictureMemory::check(huge, 1, 2 * gigabyte);
        ADD_FAILURE() << "a 16384 x 16384 job fits in 2 GB";
    } catch (const cli::UsageError& error) {
        EXPECT_NE(std::string(error.what()).find("--size"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("--jobs"), std::string::npos) << error.what();
    }
    // Each job alone fits; together they do not.
    const std::int64_t area = 4096 * 4096;
    EXPECT_NO_THROW(PictureMemory::check(area, 1, PictureMemory::perJob(area)));
    EXPECT_THROW(PictureMemory::check(area, 4, 3 * PictureMemory::perJob(area)), cli::UsageError);

    EXPECT_NE(PictureMemory::check(8192 * 8192, 2, 64 * gigabyte).find("memory"),
              std::string::npos);
    EXPECT_EQ(PictureMemory::check(1920 * 1080, 64, 64 * gigabyte), "");
    EXPECT_NE(PictureMemory::check(huge, 64, 0), "");
}

// The run weighs the pictures it will make before it makes any, by the jobs that have frames.
TEST(PictureMemoryRun, WarnsOfBigPicturesAndRefusesTooManyJobsOfThem) {
    const fs::path work = clitest::freshFolder("picture-memory");
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::RawBgr24;
    recipe.width = 16;
    recipe.height = 12;
    recipe.frames = 64;
    const std::string movie = testmedia::sharedMovie(recipe).string();

    const clitest::RunResult big = clitest::runExtract(
        {"--dry-run", "--size", "8192x8192", "--frames", "0", "--jobs", "4", movie}, work);
    EXPECT_EQ(big.exitCode, 0) << big.err;
    EXPECT_NE(big.err.find("a job (" + std::to_string(PictureMemory::perJob(8192 * 8192) >> 20) +
                           " MB for 1 job)"),
              std::string::npos)
        << big.err;

    if (PictureMemory::installed() >= 64 * PictureMemory::perJob(huge))
        GTEST_SKIP() << "this machine holds 64 jobs of 16384 x 16384 pictures";
    const clitest::RunResult tooMany = clitest::runExtract(
        {"--size", "16384x16384", "--jobs", "64", "--out", (work / "out").string(), movie}, work);
    EXPECT_EQ(tooMany.exitCode, 2) << tooMany.err;
    EXPECT_NE(tooMany.err.find("memory"), std::string::npos) << tooMany.err;
    EXPECT_FALSE(fs::exists(work / "out"));
}

} // namespace
