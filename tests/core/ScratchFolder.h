#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

// A fresh folder under KIRIMO_TEST_TMP for one test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* root = std::getenv("KIRIMO_TEST_TMP");
        const std::filesystem::path base =
            root ? std::filesystem::path(root) : std::filesystem::temp_directory_path();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("core-") + test->test_suite_name() + "-" + test->name();
        for (char& c : name) {
            if (c == '/')
                c = '_';
        }
        path_ = base / name;
        makeWritable();
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        makeWritable();
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    // Tests take write permission away; POSIX still removes a read-only file from a writable
    // folder, Windows does not remove it at all.
    void makeWritable() const {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (fs::recursive_directory_iterator entry(path_, ignored), end; entry != end;
             entry.increment(ignored))
            fs::permissions(entry->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }

    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << bytes;
}
