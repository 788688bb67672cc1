#pragma once

#include <string>

namespace media {

// FFmpeg writes its complaints to stderr; we keep them quiet and hold the latest error line,
// so an exception can say why a frame failed.
class FfmpegLog {
public:
    // Routes FFmpeg's log for the whole process; idempotent.
    static void install();
    // The latest error-level line since the last take, or empty.
    static std::string takeLastError();
};

} // namespace media
