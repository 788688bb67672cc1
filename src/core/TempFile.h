#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace core {

// A new file beside a target, named so it can never be taken for a frame or settings file
// (".<name>.tmp-<random>"). Removed on destruction unless it was renamed onto the target.
// Failures throw core::Error naming the target and the reason.
class TempFile {
public:
    explicit TempFile(const std::filesystem::path& target);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void write(std::span<const std::uint8_t> bytes);
    // The pieces one after another, without first copying them together.
    void write(std::span<const std::span<const std::uint8_t>> pieces);
    void syncToDisk();
    void copyPermissionsFrom(const std::filesystem::path& source);
    // Closes (checking the outcome) and renames onto the target, replacing it.
    void commit();

    const std::filesystem::path& path() const { return path_; }

private:
    [[noreturn]] void fail(const std::string& reason) const;
    void closeHandle();

    std::filesystem::path target_;
    std::filesystem::path path_;
    int handle_ = -1;
    bool committed_ = false;
};

} // namespace core
