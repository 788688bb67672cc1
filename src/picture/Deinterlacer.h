#pragma once

#include "picture/PicturePtr.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

extern "C" {
struct AVFilterContext;
struct AVFilterGraph;
}

namespace picture {

// Deinterlaces the pictures the decoder marks interlaced with libavfilter's bwdif, one picture a
// frame, in the field order the picture gives. Each is made from its own fields and those of the
// frames shown just before and after it, and from nothing else: a frame fetched after a seek is
// the one a run from the start gives. Where one neighbour is missing (at the ends of the movie,
// or beside a frame that cannot be decoded) the other stands in for it; with neither, the
// missing lines come from the field alone.
class Deinterlacer {
public:
    // The picture of a frame, valid until the next call; nullptr where there is none to use.
    using Neighbour = std::function<const AVFrame*(int frame)>;

    // `picture` itself, untouched, unless the decoder marked it interlaced; else its deinterlaced
    // picture, valid until the next call. `neighbour` fetches frame - 1 and frame + 1 (fetching
    // may overwrite `picture`); frames fetched lately are kept, so a run decodes each once.
    // threads: 0 for as many as the machine has. Throws std::runtime_error when the filter fails.
    const AVFrame& deinterlace(int frame, const AVFrame& picture, int frameCount,
                               const Neighbour& neighbour, int threads);

private:
    struct GraphDeleter {
        void operator()(AVFilterGraph* graph) const;
    };
    struct Graph {
        std::unique_ptr<AVFilterGraph, GraphDeleter> graph;
        AVFilterContext* input = nullptr; // owned by the graph
        AVFilterContext* output = nullptr;
        int width = 0;
        int height = 0;
        int format = -1;
        bool topFirst = true;
        std::int64_t stamp = 0; // of the next picture fed
    };
    static Graph makeGraph(const AVFrame& like, int threads);
    void run(Graph& graph, const std::vector<const AVFrame*>& pictures, const AVFrame* current);
    struct Held {
        int frame = -1;
        FramePtr picture;
    };
    const AVFrame* keep(int frame, const AVFrame& picture);
    const AVFrame* find(int frame);
    const AVFrame* fetch(int frame, const Neighbour& neighbour);

    std::vector<Held> held_; // the frames seen last, oldest first
    Graph graph_;            // fed one frame and its neighbours after another
    FramePtr out_;
};

} // namespace picture
