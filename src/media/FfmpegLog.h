#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

struct AVCodecContext;
struct AVFormatContext;

namespace media {

// FFmpeg writes its complaints to stderr; we keep them quiet. A movie's own log holds the latest
// error line of the decoder and demuxer attached to it, so an exception can say why a frame
// failed, and several movies decoding at once never borrow each other's reasons.
class FfmpegLog {
public:
    // Routes FFmpeg's log for the whole process; idempotent.
    static void install();

    FfmpegLog();
    FfmpegLog(const FfmpegLog&) = delete;
    FfmpegLog& operator=(const FfmpegLog&) = delete;

    // The context's error lines, and those of its decoder threads, come here from now on. The
    // log must outlive the context.
    void attach(AVCodecContext& context);
    void attach(AVFormatContext& context);

    // The latest error line since the last take, or empty.
    std::string takeLastError();
    void record(std::string line);
    // A picture mended by error concealment, which FFmpeg reports as information only.
    void noteConcealment();
    // Error lines and concealed pictures since the log was made; never goes back.
    std::uint64_t complaints() const { return complaints_.load(); }
    // Error lines alone: warnings and notes of concealment are not counted.
    std::uint64_t errorLines() const { return errorLines_.load(); }

private:
    std::mutex mutex_;
    std::string lastError_;
    std::atomic<std::uint64_t> complaints_{0};
    std::atomic<std::uint64_t> errorLines_{0};
};

} // namespace media
