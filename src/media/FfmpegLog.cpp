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

// The component's name without the address FFmpeg prints beside it ("[mjpeg @ 0x...]"): an
// address means nothing to a reader and makes each message of a run different.
std::string componentName(void* context) {
    if (context == nullptr)
        return {};
    const AVClass* type = *static_cast<const AVClass* const*>(context);
    if (type == nullptr || type->item_name == nullptr)
        return {};
    const char* name = type->item_name(context);
    return name != nullptr ? name : "";
}

// Decoder threads log too, so the line is shared under a lock rather than kept per thread.
void route(void* context, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR)
        return;
    char line[512] = {};
    int printPrefix = 0;
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (const std::string name = componentName(context); !name.empty())
        text = name + ": " + text;
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
