#include "core/Paths.h"

#include "ScratchFolder.h"
#include "core/PathRules.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

using core::PathRules;

namespace {

enum class Rules { windows, posix };

PathRules rulesFor(Rules rules) {
    return rules == Rules::windows ? PathRules::windows() : PathRules::posix();
}

std::string rulesName(Rules rules) {
    return rules == Rules::windows ? "windows" : "posix";
}

struct SplitCase {
    Rules rules;
    std::string path;
    std::string name;
    std::string ext;
    std::string filePath;
    std::string fileDir;
};

class PathSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PathSplitting, SplitsAtTheRulesDelimiters) {
    const SplitCase& c = GetParam();
    const PathRules rules = rulesFor(c.rules);
    SCOPED_TRACE(rulesName(c.rules) + " " + c.path);
    EXPECT_EQ(core::extractFileName(c.path, rules), c.name);
    EXPECT_EQ(core::extractFileExt(c.path, rules), c.ext);
    EXPECT_EQ(core::extractFilePath(c.path, rules), c.filePath);
    EXPECT_EQ(core::extractFileDir(c.path, rules), c.fileDir);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PathSplitting,
    ::testing::Values(
        SplitCase{Rules::windows, "C:\\Movies\\clip.avi", "clip.avi", ".avi", "C:\\Movies\\",
                  "C:\\Movies"},
        SplitCase{Rules::windows, "D:\\v\\my.clip.AVI", "my.clip.AVI", ".AVI", "D:\\v\\", "D:\\v"},
        SplitCase{Rules::windows, "D:\\v\\clip", "clip", "", "D:\\v\\", "D:\\v"},
        SplitCase{Rules::windows, "D:\\dir.x\\clip", "clip", "", "D:\\dir.x\\", "D:\\dir.x"},
        SplitCase{Rules::windows, "C:\\", "", "", "C:\\", "C:\\"},
        SplitCase{Rules::windows, "\\", "", "", "\\", "\\"},
        SplitCase{Rules::windows, "C:clip.avi", "clip.avi", ".avi", "C:", "C:"},
        SplitCase{Rules::windows, "clip.avi:alt", "alt", "", "clip.avi:", "clip.avi:"},
        SplitCase{Rules::windows, "C:/My Documents", "/My Documents", "", "C:", "C:"},
        SplitCase{Rules::windows, "a/b.avi", "a/b.avi", ".avi", "", ""},
        SplitCase{Rules::windows, "\\\\server\\share\\a.avi", "a.avi", ".avi",
                  "\\\\server\\share\\", "\\\\server\\share"},
        SplitCase{Rules::windows, ".avi", ".avi", ".avi", "", ""},
        // "表" ends in a backslash byte in code page 932; in UTF-8 no byte of it can.
        SplitCase{Rules::windows, "C:\\表\\ソ.avi", "ソ.avi", ".avi", "C:\\表\\", "C:\\表"}));

INSTANTIATE_TEST_SUITE_P(
    Posix, PathSplitting,
    ::testing::Values(
        SplitCase{Rules::posix, "/home/u/clip.avi", "clip.avi", ".avi", "/home/u/", "/home/u"},
        SplitCase{Rules::posix, "/v/my.clip.AVI", "my.clip.AVI", ".AVI", "/v/", "/v"},
        SplitCase{Rules::posix, "/v.d/clip", "clip", "", "/v.d/", "/v.d"},
        SplitCase{Rules::posix, "/", "", "", "/", "/"},
        SplitCase{Rules::posix, "/clip.avi", "clip.avi", ".avi", "/", "/"},
        SplitCase{Rules::posix, "C:\\Movies\\clip.avi", "C:\\Movies\\clip.avi", ".avi", "", ""},
        SplitCase{Rules::posix, "a:b.c/d", "d", "", "a:b.c/", "a:b.c"},
        SplitCase{Rules::posix, "out/", "", "", "out/", "out"}));

struct ExtCase {
    Rules rules;
    std::string path;
    std::string newExt;
    std::string expected;
};

class ChangeFileExt : public ::testing::TestWithParam<ExtCase> {};

TEST_P(ChangeFileExt, ReplacesOrAppends) {
    const ExtCase& c = GetParam();
    EXPECT_EQ(core::changeFileExt(c.path, c.newExt, rulesFor(c.rules)), c.expected)
        << rulesName(c.rules) << " " << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    BothRules, ChangeFileExt,
    ::testing::Values(ExtCase{Rules::windows, "D:\\v\\my.clip.AVI", ".bmp", "D:\\v\\my.clip.bmp"},
                      ExtCase{Rules::windows, "D:\\v.x\\clip", ".bmp", "D:\\v.x\\clip.bmp"},
                      ExtCase{Rules::windows, "a.b:c", ".bmp", "a.b:c.bmp"},
                      ExtCase{Rules::windows, "clip.", ".bmp", "clip.bmp"},
                      ExtCase{Rules::posix, "/v/my.clip.AVI", ".bmp", "/v/my.clip.bmp"},
                      ExtCase{Rules::posix, "/v.x/clip", ".bmp", "/v.x/clip.bmp"},
                      ExtCase{Rules::posix, "a.b\\c", ".bmp", "a.bmp"},
                      ExtCase{Rules::posix, "", "_1.bmp", "_1.bmp"}));

struct TrailCase {
    Rules rules;
    std::string path;
    std::string expected;
};

class ExcludeTrailingDelimiter : public ::testing::TestWithParam<TrailCase> {};

TEST_P(ExcludeTrailingDelimiter, RemovesOneSeparator) {
    const TrailCase& c = GetParam();
    EXPECT_EQ(core::excludeTrailingDelimiter(c.path, rulesFor(c.rules)), c.expected)
        << rulesName(c.rules) << " " << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    BothRules, ExcludeTrailingDelimiter,
    ::testing::Values(TrailCase{Rules::windows, "D:\\Frames\\", "D:\\Frames"},
                      TrailCase{Rules::windows, "D:/Frames/", "D:/Frames/"},
                      TrailCase{Rules::windows, "D:\\Frames\\\\", "D:\\Frames\\"},
                      TrailCase{Rules::windows, "C:", "C:"}, TrailCase{Rules::windows, "\\", ""},
                      TrailCase{Rules::windows, "", ""},
                      TrailCase{Rules::windows, "D:\\表\\", "D:\\表"},
                      TrailCase{Rules::posix, "/tmp/Frames/", "/tmp/Frames"},
                      TrailCase{Rules::posix, "/tmp/Frames\\", "/tmp/Frames\\"},
                      TrailCase{Rules::posix, "/tmp//", "/tmp/"},
                      TrailCase{Rules::posix, "/", "/"}));

struct AviCase {
    Rules rules;
    std::string path;
    bool isAvi;
};

class IsAviName : public ::testing::TestWithParam<AviCase> {};

TEST_P(IsAviName, ComparesTheExtensionIgnoringCase) {
    const AviCase& c = GetParam();
    EXPECT_EQ(core::isAviName(c.path, rulesFor(c.rules)), c.isAvi)
        << rulesName(c.rules) << " " << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    BothRules, IsAviName,
    ::testing::Values(
        AviCase{Rules::windows, "C:\\m\\clip.avi", true}, AviCase{Rules::windows, "b.AVI", true},
        AviCase{Rules::windows, "c.Avi", true}, AviCase{Rules::windows, "c.avi2", false},
        AviCase{Rules::windows, "a.txt", false}, AviCase{Rules::windows, "x.avi\\clip", false},
        AviCase{Rules::windows, "x.avi:clip", false}, AviCase{Rules::windows, "avi", false},
        AviCase{Rules::windows, "clip.ＡＶＩ", false}, AviCase{Rules::posix, "/m/clip.avi", true},
        AviCase{Rules::posix, "x.avi/clip", false}, AviCase{Rules::posix, "x.avi:clip", false},
        AviCase{Rules::posix, "a\\b.aVi", true}));

// Windows names files in UTF-16: a name given as UTF-8 must reach the disk as itself, not
// through the system's code page, and come back the same.
TEST(PathUtf8, JapaneseNamesReachTheDiskAndComeBackUnchanged) {
    const ScratchFolder folder;
    const std::string name = "全フレーム_表.bmp";
    writeBytes(core::pathFromUtf8(core::pathToUtf8(folder.path()) + "/" + name), "x");
    EXPECT_TRUE(std::filesystem::exists(folder.path() / u8"全フレーム_表.bmp"));
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_EQ(core::pathToUtf8(entry.path().filename()), name);
}

} // namespace
