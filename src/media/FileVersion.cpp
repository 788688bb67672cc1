#include "media/FileVersion.h"

#include <system_error>

namespace media {

std::optional<FileVersion> FileVersion::of(const std::filesystem::path& file) {
    std::error_code error;
    FileVersion stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (!error)
        stamp.written = std::filesystem::last_write_time(file, error);
    if (error)
        return std::nullopt;
    return stamp;
}

} // namespace media
