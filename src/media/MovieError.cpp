#include "media/MovieError.h"

namespace media {

namespace {

std::string pathText(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

} // namespace

MovieError::MovieError(const std::filesystem::path& file, const std::string& reason, Kind kind)
    : std::runtime_error(pathText(file) + ": " + reason), file_(file), reason_(reason),
      kind_(kind) {}

MovieError::MovieError(const std::filesystem::path& file, int frame, const std::string& reason,
                       Kind kind)
    : std::runtime_error(pathText(file) + ": frame " + std::to_string(frame) + ": " + reason),
      file_(file), frame_(frame), reason_(reason), kind_(kind) {}

MovieError MovieError::dependant(const std::filesystem::path& file, int frame, int damaged) {
    MovieError error(file, frame, "it depends on the damaged frame " + std::to_string(damaged));
    error.dependsOn_ = damaged;
    return error;
}

} // namespace media
