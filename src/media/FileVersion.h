#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace media {

// What tells a file rewritten in place: its size and last write.
struct FileVersion {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written;

    bool operator==(const FileVersion&) const = default;

    // Missing when the file is gone (a deleted file still reads through the open handle).
    static std::optional<FileVersion> of(const std::filesystem::path& file);
};

} // namespace media
