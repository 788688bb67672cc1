#include "core/FolderCreation.h"

#include "ScratchFolder.h"
#include "core/Error.h"
#include "core/PathRules.h"
#include "core/Paths.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <thread>
#include <vector>

using core::PathRules;

namespace {

// A file system that knows only folders, with drive roots always there. Levels are separated
// by the rules' own delimiters; forward slashes count on Windows too, as they do for the system.
class FakeFolders {
public:
    FakeFolders(std::set<std::string> existing, bool windows)
        : folders_(std::move(existing)), windows_(windows) {}

    core::FolderOperations operations() {
        return {[this](const std::string& path) { return isFolder(path); },
                [this](const std::string& path) {
                    created_.push_back(path);
                    if (!isFolder(parentOf(path)))
                        return false;
                    return folders_.insert(normalised(path)).second;
                }};
    }
    const std::vector<std::string>& created() const { return created_; }

private:
    std::string normalised(std::string path) const {
        if (windows_)
            std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    std::string parentOf(const std::string& path) const {
        const std::string text = normalised(path);
        const std::size_t last = text.find_last_of(windows_ ? "\\" : "/");
        return last == std::string::npos ? "." : text.substr(0, last);
    }
    bool isFolder(const std::string& path) const {
        const std::string text = normalised(path);
        const bool driveRoot = windows_ && text.size() == 2 && text[1] == ':';
        return driveRoot || text == "." || text.empty() || folders_.count(text) > 0;
    }

    std::set<std::string> folders_;
    bool windows_;
    std::vector<std::string> created_;
};

struct FolderCase {
    bool windows;
    std::string path;
    std::set<std::string> existing;
    bool result;
    std::vector<std::string> created;
};

class ForceDirectories : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ForceDirectories, CreatesTheLevelsItCanReach) {
    const FolderCase& c = GetParam();
    FakeFolders folders(c.existing, c.windows);
    const PathRules rules = c.windows ? PathRules::windows() : PathRules::posix();
    EXPECT_EQ(core::forceDirectories(c.path, rules, folders.operations()), c.result) << c.path;
    EXPECT_EQ(folders.created(), c.created) << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ForceDirectories,
    ::testing::Values(
        FolderCase{true, "C:/New/Frames", {}, false, {"C:/New/Frames"}},
        FolderCase{true, "C:/New/Frames", {"C:\\New"}, true, {"C:/New/Frames"}},
        FolderCase{true, "C:/My Documents", {"C:\\My Documents"}, true, {}},
        FolderCase{true, "D:\\A\\B\\C", {}, true, {"D:\\A", "D:\\A\\B", "D:\\A\\B\\C"}},
        FolderCase{true, "D:\\A\\B\\C\\", {}, true, {"D:\\A", "D:\\A\\B", "D:\\A\\B\\C"}},
        FolderCase{true, "D:\\A\\B\\C", {"D:\\A"}, true, {"D:\\A\\B", "D:\\A\\B\\C"}},
        FolderCase{true, "D:\\out", {"D:\\out"}, true, {}}, FolderCase{true, "C:\\", {}, true, {}},
        FolderCase{true, "C:", {}, true, {}}, FolderCase{true, "\\", {}, true, {}},
        FolderCase{true, "D:\\写真\\ﾌﾚｰﾑ", {}, true, {"D:\\写真", "D:\\写真\\ﾌﾚｰﾑ"}},
        // Relative names grow from the current folder, short ones included.
        FolderCase{true, "ab", {}, true, {"ab"}},
        FolderCase{true, "frames\\x", {}, true, {"frames", "frames\\x"}}));

INSTANTIATE_TEST_SUITE_P(
    Posix, ForceDirectories,
    ::testing::Values(FolderCase{false, "/top/B/C", {}, true, {"/top", "/top/B", "/top/B/C"}},
                      FolderCase{false, "/A/B/C/", {"/A"}, true, {"/A/B", "/A/B/C"}},
                      FolderCase{false, "/", {}, true, {}},
                      FolderCase{false, "out/x", {}, true, {"out", "out/x"}},
                      FolderCase{false, "C:\\New\\Frames", {}, true, {"C:\\New\\Frames"}}));

TEST(ForceDirectories, EmptyPathRaisesTheLibraryError) {
    FakeFolders folders({}, true);
    try {
        core::forceDirectories("", PathRules::windows(), folders.operations());
        FAIL() << "no error";
    } catch (const core::Error& error) {
        EXPECT_STREQ(error.what(), "ディレクトリを作成することができません");
    }
    EXPECT_TRUE(folders.created().empty());
}

// A folder on disk as the program names it: UTF-8, split by the system's own rules.
std::string diskName(const std::filesystem::path& path) {
    return core::pathToUtf8(path);
}

TEST(ForceDirectoriesOnDisk, CreatesEveryMissingLevel) {
    const ScratchFolder folder;
    const PathRules rules = PathRules::native();
    const std::string target = diskName(folder / "A" / "B" / "C") + rules.separator();
    EXPECT_TRUE(core::forceDirectories(target, rules));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "A" / "B" / "C"));
    EXPECT_TRUE(core::forceDirectories(target, rules));
}

TEST(ForceDirectoriesOnDisk, FileInTheWayFails) {
    const ScratchFolder folder;
    writeBytes(folder / "file", "x");
    EXPECT_FALSE(core::forceDirectories(diskName(folder / "file" / "sub"), PathRules::native()));
    EXPECT_FALSE(core::forceDirectories(diskName(folder / "file"), PathRules::native()));
}

// Another job creates each level between the look and the creation: the folders are there,
// which is all that was asked.
TEST(ForceDirectories, LevelsMadeMeanwhileByAnotherJobAreSuccess) {
    std::set<std::string> folders{"/out"};
    const core::FolderOperations racing{
        [&](const std::string& path) { return folders.count(path) > 0; },
        [&](const std::string& path) {
            folders.insert(path); // the other job was first
            return false;
        }};
    EXPECT_TRUE(core::forceDirectories("/out/frames/a", PathRules::posix(), racing));
}

// Jobs writing the movies of one run into folders of one new parent, all at once.
TEST(ForceDirectoriesOnDisk, JobsCreatingOneParentSideBySideAllSucceed) {
    const ScratchFolder folder;
    constexpr int jobs = 8;
    for (int round = 0; round < 20; ++round) {
        const std::string parent = diskName(folder / ("frames" + std::to_string(round)));
        std::atomic<int> ready{0};
        std::atomic<int> failed{0};
        std::vector<std::jthread> threads;
        for (int job = 0; job < jobs; ++job)
            threads.emplace_back([&, job] {
                ++ready;
                while (ready.load() < jobs)
                    std::this_thread::yield();
                const PathRules rules = PathRules::native();
                if (!core::forceDirectories(parent + rules.separator() + "m" + std::to_string(job),
                                            rules))
                    ++failed;
            });
        threads.clear();
        EXPECT_EQ(failed.load(), 0) << "round " << round;
    }
}

} // namespace
