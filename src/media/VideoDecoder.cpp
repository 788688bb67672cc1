#include "media/VideoDecoder.h"

#include "media/FfmpegLog.h"
#include "media/MovieError.h"
#include "media/StreamFacts.h"

#include <algorithm>

extern "C" {
#include <libavutil/error.h>
}

namespace media {

VideoDecoder::VideoDecoder(const AVStream& stream, const std::filesystem::path& file, int threads,
                           FfmpegLog& log)
    : orientation_(StreamFacts::orientationOf(stream)) {
    const AVCodecParameters& parameters = *stream.codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters.codec_id);
    const std::string name = avcodec_get_name(parameters.codec_id);
    if (codec == nullptr)
        throw MovieError(file, "codec not supported (" + name + ")", MovieError::Kind::Unsupported);
    context_.reset(avcodec_alloc_context3(codec));
    if (!context_ || avcodec_parameters_to_context(context_.get(), &parameters) < 0)
        throw MovieError(file, "cannot set up the decoder (" + name + ")",
                         MovieError::Kind::Unsupported);
    // Before opening: frame threads copy the context then.
    log.attach(*context_);
    context_->pkt_timebase = stream.time_base;
    context_->thread_count = std::max(threads, 0);
    context_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (const int result = avcodec_open2(context_.get(), codec, nullptr); result < 0)
        throw MovieError(file, "codec not supported (" + name + "): " + ffmpegErrorText(result),
                         MovieError::Kind::Unsupported);
}

bool VideoDecoder::send(const AVPacket* packet) {
    const int result = avcodec_send_packet(context_.get(), packet);
    return result >= 0 || result == AVERROR_EOF || result == AVERROR(EAGAIN);
}

VideoDecoder::Status VideoDecoder::receive(AVFrame& frame) {
    const int result = avcodec_receive_frame(context_.get(), &frame);
    if (result >= 0) {
        orientation_ = picture::PictureOrientation::ofFrame(frame, orientation_);
        return Status::Frame;
    }
    if (result == AVERROR(EAGAIN))
        return Status::NeedsInput;
    if (result == AVERROR_EOF)
        return Status::Ended;
    return Status::Failed;
}

void VideoDecoder::flush() {
    avcodec_flush_buffers(context_.get());
}

void VideoDecoder::skipUnreferenced(bool skip) {
    context_->skip_frame = skip ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
}

void VideoDecoder::sketchOnly(bool sketch) {
    context_->skip_loop_filter = sketch ? AVDISCARD_ALL : AVDISCARD_DEFAULT;
    context_->flags2 =
        sketch ? context_->flags2 | AV_CODEC_FLAG2_FAST : context_->flags2 & ~AV_CODEC_FLAG2_FAST;
}

bool VideoDecoder::isIntraOnly() const {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(context_->codec_id);
    return descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
}

bool VideoDecoder::lagsBehind() const {
    return (context_->active_thread_type & FF_THREAD_FRAME) && context_->thread_count > 1;
}

bool VideoDecoder::isDamaged(const AVFrame& frame) {
    return frame.decode_error_flags != 0 || (frame.flags & AV_FRAME_FLAG_CORRUPT) != 0;
}

} // namespace media
