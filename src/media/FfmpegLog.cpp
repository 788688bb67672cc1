#include "media/FfmpegLog.h"

#include <cstdarg>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace media {

namespace {

std::mutex lastErrorMutex;
std::string lastError;

// Decoder threads log too, so the line is shared under a lock rather than kept per thread.
void route(void* context, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR)
        return;
    char line[512] = {};
    int printPrefix = 1;
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    const std::lock_guard lock(lastErrorMutex);
    lastError = std::move(text);
}

} // namespace

void FfmpegLog::install() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(route); });
}

std::string FfmpegLog::takeLastError() {
    const std::lock_guard lock(lastErrorMutex);
    std::string text;
    text.swap(lastError);
    return text;
}

} // namespace media
