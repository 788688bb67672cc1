#pragma once

#include <cstdint> // before FFmpeg's headers, which need its UINT64_C

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace picture {

// libavfilter, opened the first time a picture needs it. Linked, it would load some thirty more
// libraries (speech synthesis, Vulkan, LAPACK, ...) into every run of both programs, about 25 ms
// before anything else happens, for the sake of one option.
class FilterLibrary {
public:
    // Throws std::runtime_error naming the library when it cannot be opened.
    static const FilterLibrary& get();

    decltype(&avfilter_graph_alloc) graphAlloc = nullptr;
    decltype(&avfilter_graph_free) graphFree = nullptr;
    decltype(&avfilter_get_by_name) getByName = nullptr;
    decltype(&avfilter_graph_create_filter) createFilter = nullptr;
    decltype(&avfilter_link) link = nullptr;
    decltype(&avfilter_graph_config) graphConfig = nullptr;
    decltype(&av_buffersrc_add_frame_flags) addFrame = nullptr;
    decltype(&av_buffersink_get_frame) getFrame = nullptr;
    decltype(&av_buffersink_get_time_base) sinkTimeBase = nullptr;

private:
    FilterLibrary() = default;
};

} // namespace picture
