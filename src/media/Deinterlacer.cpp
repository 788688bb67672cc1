#include "media/Deinterlacer.h"

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace media {

namespace {

// The frame deinterlaced and its two neighbours, and one spare for a step back.
constexpr std::size_t framesHeld = 4;

struct GraphDeleter {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
using GraphPtr = std::unique_ptr<AVFilterGraph, GraphDeleter>;

bool isInterlaced(const AVFrame& picture) {
#ifdef AV_FRAME_FLAG_INTERLACED
    return (picture.flags & AV_FRAME_FLAG_INTERLACED) != 0;
#else
    return picture.interlaced_frame != 0;
#endif
}

// A neighbour only lends its fields: marked progressive, the filter passes it through at no cost
// rather than deinterlacing it too.
void markProgressive(AVFrame& picture) {
#ifdef AV_FRAME_FLAG_INTERLACED
    picture.flags &= ~AV_FRAME_FLAG_INTERLACED;
#else
    picture.interlaced_frame = 0;
#endif
    picture.repeat_pict = 0;
}

bool sameLayout(const AVFrame& a, const AVFrame& b) {
    return a.width == b.width && a.height == b.height && a.format == b.format;
}

void check(int code, const char* what) {
    if (code < 0)
        throw std::runtime_error(std::string("cannot deinterlace: ") + what + ": " +
                                 ffmpegErrorText(code));
}

FramePtr copyOf(const AVFrame& picture, std::int64_t pts) {
    FramePtr copy(av_frame_clone(&picture));
    if (!copy)
        throw std::bad_alloc();
    copy->pts = pts;
    return copy;
}

} // namespace

const AVFrame& Deinterlacer::deinterlace(int frame, const AVFrame& picture, int frameCount,
                                         const Neighbour& neighbour, int threads) {
    if (!isInterlaced(picture))
        return picture;
    const AVFrame* current = keep(frame, picture);
    const AVFrame* before = frame > 0 ? fetch(frame - 1, neighbour) : nullptr;
    const AVFrame* after = frame + 1 < frameCount ? fetch(frame + 1, neighbour) : nullptr;
    if (before && !sameLayout(*before, *current))
        before = nullptr;
    if (after && !sameLayout(*after, *current))
        after = nullptr;
    // With no frame before, bwdif fills the missing lines from the field alone, whatever comes
    // after. With no frame after, it would weave the fields as they are: the frame before stands
    // in for it, time mirrored.
    if (!after)
        after = before ? before : current;

    GraphPtr graph(avfilter_graph_alloc());
    if (!graph)
        throw std::bad_alloc();
    graph->nb_threads = threads;
    const AVRational aspect =
        current->sample_aspect_ratio.num > 0 ? current->sample_aspect_ratio : AVRational{1, 1};
    const std::string source = "video_size=" + std::to_string(current->width) + "x" +
                               std::to_string(current->height) +
                               ":pix_fmt=" + std::to_string(current->format) +
                               ":time_base=1/25:pixel_aspect=" + std::to_string(aspect.num) + "/" +
                               std::to_string(aspect.den);
    AVFilterContext* input = nullptr;
    AVFilterContext* filter = nullptr;
    AVFilterContext* output = nullptr;
    check(avfilter_graph_create_filter(&input, avfilter_get_by_name("buffer"), "in", source.c_str(),
                                       nullptr, graph.get()),
          "the source");
    check(avfilter_graph_create_filter(&filter, avfilter_get_by_name("bwdif"), "bwdif",
                                       "mode=send_frame:parity=auto:deint=interlaced", nullptr,
                                       graph.get()),
          "bwdif");
    check(avfilter_graph_create_filter(&output, avfilter_get_by_name("buffersink"), "out", nullptr,
                                       nullptr, graph.get()),
          "the sink");
    check(avfilter_link(input, 0, filter, 0), "linking");
    check(avfilter_link(filter, 0, output, 0), "linking");
    check(avfilter_graph_config(graph.get(), nullptr), "setting up");

    // Time stamps 0, 1, 2 for before, current and after: the output stamped 1 is the one wanted.
    const AVFrame* inputs[3] = {before, current, after};
    for (std::int64_t stamp = 0; stamp < 3; ++stamp) {
        if (!inputs[stamp])
            continue;
        FramePtr copy = copyOf(*inputs[stamp], stamp);
        if (stamp != 1)
            markProgressive(*copy);
        check(av_buffersrc_add_frame_flags(input, copy.get(), 0), "feeding");
    }
    check(av_buffersrc_add_frame_flags(input, nullptr, 0), "ending");
    const AVRational base = av_buffersink_get_time_base(output);
    if (!out_)
        out_.reset(av_frame_alloc());
    if (!out_)
        throw std::bad_alloc();
    bool found = false;
    FramePtr got(av_frame_alloc());
    if (!got)
        throw std::bad_alloc();
    for (;;) {
        const int result = av_buffersink_get_frame(output, got.get());
        if (result == AVERROR_EOF || result == AVERROR(EAGAIN))
            break;
        check(result, "filtering");
        if (!found && av_rescale_q(got->pts, base, AVRational{1, 25}) == 1) {
            av_frame_unref(out_.get());
            av_frame_move_ref(out_.get(), got.get());
            found = true;
        }
        av_frame_unref(got.get());
    }
    if (!found)
        throw std::runtime_error("cannot deinterlace: the filter gave no picture");
    return *out_;
}

const AVFrame* Deinterlacer::keep(int frame, const AVFrame& picture) {
    if (const AVFrame* kept = find(frame))
        return kept;
    FramePtr copy(av_frame_clone(&picture));
    if (!copy)
        throw std::bad_alloc();
    if (held_.size() >= framesHeld)
        held_.erase(held_.begin());
    held_.push_back({frame, std::move(copy)});
    return held_.back().picture.get();
}

// Moves the frame found to the end, so the frames of the call under way are the last dropped.
const AVFrame* Deinterlacer::find(int frame) {
    const auto held = std::find_if(held_.begin(), held_.end(),
                                   [frame](const Held& entry) { return entry.frame == frame; });
    if (held == held_.end())
        return nullptr;
    std::rotate(held, held + 1, held_.end());
    return held_.back().picture.get();
}

const AVFrame* Deinterlacer::fetch(int frame, const Neighbour& neighbour) {
    if (const AVFrame* kept = find(frame))
        return kept;
    const AVFrame* picture = neighbour(frame);
    return picture ? keep(frame, *picture) : nullptr;
}

} // namespace media
