#include "media/FfmpegLog.h"

#include <cstdarg>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace media {

namespace {

// The component's name without the address FFmpeg prints beside it ("[mjpeg @ 0x...]"): an
// address means nothing to a reader and makes each message of a run different.
std::string componentName(void* context) {
    const AVClass* type = *static_cast<const AVClass* const*>(context);
    if (type == nullptr || type->item_name == nullptr)
        return {};
    const char* name = type->item_name(context);
    return name != nullptr ? name : "";
}

// Decoder threads log through copies of the decoder's context, which carry its opaque pointer.
FfmpegLog* ownerOf(void* context) {
    const AVClass* type = *static_cast<const AVClass* const*>(context);
    if (type == avcodec_get_class())
        return static_cast<FfmpegLog*>(static_cast<AVCodecContext*>(context)->opaque);
    if (type == avformat_get_class())
        return static_cast<FfmpegLog*>(static_cast<AVFormatContext*>(context)->opaque);
    return nullptr;
}

void route(void* context, int level, const char* format, va_list arguments) {
    if (context == nullptr)
        return;
    // Error concealment tells of the pictures it mends only in passing, not as an error.
    const bool concealing =
        level <= AV_LOG_INFO && std::string_view(format).starts_with("concealing ");
    if (level > AV_LOG_ERROR && !concealing)
        return;
    FfmpegLog* owner = ownerOf(context);
    if (owner == nullptr)
        return; // no movie asks for it
    if (concealing) {
        owner->noteConcealment();
        return;
    }
    char line[512] = {};
    int printPrefix = 0;
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (const std::string name = componentName(context); !name.empty())
        text = name + ": " + text;
    owner->record(std::move(text));
}

} // namespace

void FfmpegLog::install() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(route); });
}

FfmpegLog::FfmpegLog() {
    install();
}

void FfmpegLog::attach(AVCodecContext& context) {
    context.opaque = this;
}

void FfmpegLog::attach(AVFormatContext& context) {
    context.opaque = this;
}

std::string FfmpegLog::takeLastError() {
    const std::lock_guard lock(mutex_);
    std::string text;
    text.swap(lastError_);
    return text;
}

void FfmpegLog::noteConcealment() {
    ++complaints_;
}

void FfmpegLog::record(std::string line) {
    const std::lock_guard lock(mutex_);
    lastError_ = std::move(line);
    ++errorLines_;
    ++complaints_;
}

} // namespace media
