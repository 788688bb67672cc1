#include "core/FrameNaming.h"

#include "core/PathRules.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

using core::PathRules;

namespace {

struct NumberCase {
    std::int32_t frame;
    std::string text;
};

class FrameNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FrameNumber, HasAtLeastFiveDigits) {
    EXPECT_EQ(core::formatFrameNumber(GetParam().frame), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FrameNumber,
    ::testing::Values(NumberCase{0, "00000"}, NumberCase{12, "00012"}, NumberCase{99999, "99999"},
                      NumberCase{100000, "100000"}, NumberCase{123456, "123456"},
                      NumberCase{std::numeric_limits<std::int32_t>::max(), "2147483647"},
                      NumberCase{-1, "-00001"},
                      NumberCase{std::numeric_limits<std::int32_t>::min(), "-2147483648"}));

struct NameCase {
    bool windows;
    std::string destination;
    std::string source;
    std::int32_t frame;
    std::string fileName;
};

class OutputFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(OutputFileName, JoinsDestinationAndBaseWithASlash) {
    const NameCase& c = GetParam();
    const PathRules rules = c.windows ? PathRules::windows() : PathRules::posix();
    EXPECT_EQ(core::outputFileName(c.destination, c.source, c.frame, rules), c.fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, OutputFileName,
    ::testing::Values(
        NameCase{true, "C:/My Documents", "C:\\Movies\\clip.avi", 12,
                 "C:/My Documents/clip_00012.bmp"},
        NameCase{true, "D:\\out", "C:\\m\\clip.avi", 0, "D:\\out/clip_00000.bmp"},
        NameCase{true, "D:\\out", "C:\\m\\clip.avi", 4, "D:\\out/clip_00004.bmp"},
        NameCase{true, "D:\\out", "D:\\v\\my.clip.AVI", 7, "D:\\out/my.clip_00007.bmp"},
        NameCase{true, "D:\\out", "D:\\v\\clip", 7, "D:\\out/clip_00007.bmp"},
        NameCase{true, "D:\\out", "D:\\v.d\\clip", 7, "D:\\out/clip_00007.bmp"},
        NameCase{true, "D:\\out", "C:\\m\\clip.avi", 100000, "D:\\out/clip_100000.bmp"},
        NameCase{true, "D:\\out", "clip.AVI", 19, "D:\\out/clip_00019.bmp"},
        NameCase{true, "D:\\out", "C:\\動画\\表示.avi", 3, "D:\\out/表示_00003.bmp"}));

INSTANTIATE_TEST_SUITE_P(
    Posix, OutputFileName,
    ::testing::Values(NameCase{false, "/home/u/Documents", "/m/clip.avi", 12,
                               "/home/u/Documents/clip_00012.bmp"},
                      NameCase{false, "out", "/v/my.clip.AVI", 7, "out/my.clip_00007.bmp"},
                      NameCase{false, "out", "/v/clip", 7, "out/clip_00007.bmp"},
                      NameCase{false, "out", "/v.d/clip", 7, "out/clip_00007.bmp"},
                      NameCase{false, "out", "/m/clip.avi", 123456, "out/clip_123456.bmp"},
                      // A backslash is an ordinary character of a POSIX name.
                      NameCase{false, "out", "C:\\m\\clip.avi", 1, "out/C:\\m\\clip_00001.bmp"}));

TEST(OutputBaseName, UsesTheFramesOwnNumber) {
    const PathRules rules = PathRules::windows();
    std::string names;
    for (std::int32_t frame = 10; frame <= 20; frame += 3)
        names += core::outputBaseName("C:\\m\\clip.avi", frame, rules) + " ";
    EXPECT_EQ(names, "clip_00010.bmp clip_00013.bmp clip_00016.bmp clip_00019.bmp ");
}

} // namespace
