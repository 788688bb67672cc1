#include "media/StreamAspect.h"

#include "core/Paths.h"
#include "media/FfmpegLog.h"
#include "media/FfmpegPtr.h"

namespace media {

PixelAspect declaredPixelAspect(const std::filesystem::path& file) {
    FfmpegLog::install(); // complaints stay quiet; the movie's own reading reports them
    AVFormatContext* raw = nullptr;
    // "file:" keeps a name such as "a:b.mp4" from being taken for a protocol.
    const std::string url = "file:" + core::pathToUtf8(file);
    if (avformat_open_input(&raw, url.c_str(), nullptr, nullptr) < 0)
        return {};
    const InputContextPtr input(raw);
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        return {};
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0)
        return {};
    const AVRational guessed =
        av_guess_sample_aspect_ratio(input.get(), input->streams[index], nullptr);
    if (guessed.num <= 0 || guessed.den <= 0)
        return {};
    PixelAspect aspect;
    av_reduce(&aspect.num, &aspect.den, guessed.num, guessed.den, 0xFFFF);
    return aspect;
}

} // namespace media
