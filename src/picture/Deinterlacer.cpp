#include "picture/Deinterlacer.h"

#include "picture/FilterLibrary.h"

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

namespace picture {

namespace {

// The frame deinterlaced and its two neighbours, and one spare for a step back.
constexpr std::size_t framesHeld = 4;

bool isInterlaced(const AVFrame& picture) {
#ifdef AV_FRAME_FLAG_INTERLACED
    return (picture.flags & AV_FRAME_FLAG_INTERLACED) != 0;
#else
    return picture.interlaced_frame != 0;
#endif
}

bool isTopFirst(const AVFrame& picture) {
#ifdef AV_FRAME_FLAG_TOP_FIELD_FIRST
    return (picture.flags & AV_FRAME_FLAG_TOP_FIELD_FIRST) != 0;
#else
    return picture.top_field_first != 0;
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

template <typename Other> bool sameLayout(const AVFrame& a, const Other& b) {
    return a.width == b.width && a.height == b.height && a.format == b.format;
}

bool sameFieldOrder(const AVFrame& picture, bool topFirst) {
    return isTopFirst(picture) == topFirst;
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

void Deinterlacer::GraphDeleter::operator()(AVFilterGraph* graph) const {
    FilterLibrary::get().graphFree(&graph);
}

// bwdif fills the missing lines of the first picture it filters from the field alone, and
// passes progressive pictures by without leaving that state. So a graph that is to use the
// neighbours filters one picture first, to no purpose but that; afterwards each result depends
// on the three pictures last fed alone.
Deinterlacer::Graph Deinterlacer::makeGraph(const AVFrame& like, int threads) {
    const FilterLibrary& filters = FilterLibrary::get();
    Graph made;
    made.graph.reset(filters.graphAlloc());
    if (!made.graph)
        throw std::bad_alloc();
    made.graph->nb_threads = threads;
    made.width = like.width;
    made.height = like.height;
    made.format = like.format;
    made.topFirst = isTopFirst(like);
    const AVRational aspect =
        like.sample_aspect_ratio.num > 0 ? like.sample_aspect_ratio : AVRational{1, 1};
    const std::string source = "video_size=" + std::to_string(like.width) + "x" +
                               std::to_string(like.height) +
                               ":pix_fmt=" + std::to_string(like.format) +
                               ":time_base=1/25:pixel_aspect=" + std::to_string(aspect.num) + "/" +
                               std::to_string(aspect.den);
    AVFilterContext* filter = nullptr;
    check(filters.createFilter(&made.input, filters.getByName("buffer"), "in", source.c_str(),
                               nullptr, made.graph.get()),
          "the source");
    // The order stated, not "auto": bwdif takes it from the picture after the one it
    // filters, and the neighbours fed marked progressive would make every movie top first.
    const char* options = made.topFirst ? "mode=send_frame:deint=interlaced:parity=tff"
                                        : "mode=send_frame:deint=interlaced:parity=bff";
    check(filters.createFilter(&filter, filters.getByName("bwdif"), "bwdif", options, nullptr,
                               made.graph.get()),
          "bwdif");
    check(filters.createFilter(&made.output, filters.getByName("buffersink"), "out", nullptr,
                               nullptr, made.graph.get()),
          "the sink");
    check(filters.link(made.input, 0, filter, 0), "linking");
    check(filters.link(filter, 0, made.output, 0), "linking");
    check(filters.graphConfig(made.graph.get(), nullptr), "setting up");
    return made;
}

// Feeds the pictures, the neighbours marked progressive (they only lend their fields, and pass
// through at no cost), and keeps the output of `current`.
void Deinterlacer::run(Graph& graph, const std::vector<const AVFrame*>& pictures,
                       const AVFrame* current) {
    const FilterLibrary& filters = FilterLibrary::get();
    // The first copy of `current` is the one filtered.
    std::int64_t wanted = -1;
    for (const AVFrame* picture : pictures) {
        FramePtr copy = copyOf(*picture, graph.stamp);
        if (picture == current && wanted < 0)
            wanted = graph.stamp;
        else
            markProgressive(*copy);
        ++graph.stamp;
        check(filters.addFrame(graph.input, copy.get(), 0), "feeding");
    }
    const AVRational base = filters.sinkTimeBase(graph.output);
    FramePtr got(av_frame_alloc());
    if (!got || (!out_ && !(out_ = FramePtr(av_frame_alloc()))))
        throw std::bad_alloc();
    bool found = false;
    for (;;) {
        const int result = filters.getFrame(graph.output, got.get());
        if (result == AVERROR_EOF || result == AVERROR(EAGAIN))
            break;
        check(result, "filtering");
        if (!found && av_rescale_q(got->pts, base, AVRational{1, 25}) == wanted) {
            av_frame_unref(out_.get());
            av_frame_move_ref(out_.get(), got.get());
            found = true;
        }
        av_frame_unref(got.get());
    }
    if (!found)
        throw std::runtime_error("cannot deinterlace: the filter gave no picture");
}

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
    if (!before && !after) {
        // The field alone: bwdif's way with the first picture of a fresh graph.
        Graph alone = makeGraph(*current, threads);
        run(alone, {current, current}, current);
        return *out_;
    }
    // Where one neighbour is missing, at the ends of the movie, the other stands in for it.
    if (!before)
        before = after;
    if (!after)
        after = before;
    if (!graph_.graph || !sameLayout(*current, graph_) ||
        !sameFieldOrder(*current, graph_.topFirst)) {
        graph_ = makeGraph(*current, threads);
        run(graph_, {current, current}, current);
    }
    run(graph_, {before, current, after}, current);
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

} // namespace picture
