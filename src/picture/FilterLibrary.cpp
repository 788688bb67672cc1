#include "picture/FilterLibrary.h"

#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace picture {

namespace {

#define KIRIMO_TEXT(x) #x
#define KIRIMO_NUMBER(x) KIRIMO_TEXT(x)
#ifdef _WIN32
constexpr const char* libraryName = "avfilter-" KIRIMO_NUMBER(LIBAVFILTER_VERSION_MAJOR) ".dll";
#else
constexpr const char* libraryName = "libavfilter.so." KIRIMO_NUMBER(LIBAVFILTER_VERSION_MAJOR);
#endif

// Kept open for the life of the process: the graphs made through it may outlive any owner.
void* openLibrary() {
#ifdef _WIN32
    return reinterpret_cast<void*>(LoadLibraryA(libraryName));
#else
    return dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
#endif
}

void* symbol(void* library, const char* name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

template <typename Function> void bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(symbol(library, name));
    if (function == nullptr)
        throw std::runtime_error(std::string("cannot deinterlace: ") + libraryName + " lacks " +
                                 name);
}

FilterLibrary* load(FilterLibrary& library) {
    void* handle = openLibrary();
    if (handle == nullptr)
        throw std::runtime_error(std::string("cannot deinterlace: ") + libraryName +
                                 " cannot be opened; install FFmpeg's libavfilter");
    bind(handle, "avfilter_graph_alloc", library.graphAlloc);
    bind(handle, "avfilter_graph_free", library.graphFree);
    bind(handle, "avfilter_get_by_name", library.getByName);
    bind(handle, "avfilter_graph_create_filter", library.createFilter);
    bind(handle, "avfilter_link", library.link);
    bind(handle, "avfilter_graph_config", library.graphConfig);
    bind(handle, "av_buffersrc_add_frame_flags", library.addFrame);
    bind(handle, "av_buffersink_get_frame", library.getFrame);
    bind(handle, "av_buffersink_get_time_base", library.sinkTimeBase);
    return &library;
}

} // namespace

const FilterLibrary& FilterLibrary::get() {
    static FilterLibrary library;
    static const FilterLibrary* const loaded = load(library);
    return *loaded;
}

} // namespace picture
