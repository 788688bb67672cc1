#pragma once

// Owners for the FFmpeg objects the writer uses, and FFmpeg's error text.

#include "media/FfmpegPtr.h"

extern "C" {
#include <libavcodec/bsf.h>
}

namespace testmedia {

using media::CodecContextPtr;
using media::ffmpegErrorText;
using media::FramePtr;
using media::PacketPtr;
using picture::ScalerPtr;

struct OutputContextDeleter {
    void operator()(AVFormatContext* context) const {
        if (context->pb != nullptr && !(context->oformat->flags & AVFMT_NOFILE))
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextDeleter>;

struct BitstreamFilterDeleter {
    void operator()(AVBSFContext* filter) const { av_bsf_free(&filter); }
};
using BitstreamFilterPtr = std::unique_ptr<AVBSFContext, BitstreamFilterDeleter>;

// Keeps FFmpeg's log at `level` at most while alive: the encoders chat on stderr otherwise.
class LogLevelGuard {
public:
    explicit LogLevelGuard(int level) : saved_(av_log_get_level()) {
        av_log_set_level(level < saved_ ? level : saved_);
    }
    ~LogLevelGuard() { av_log_set_level(saved_); }
    LogLevelGuard(const LogLevelGuard&) = delete;
    LogLevelGuard& operator=(const LogLevelGuard&) = delete;

private:
    int saved_;
};

} // namespace testmedia
