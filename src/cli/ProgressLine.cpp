#include "cli/ProgressLine.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace cli {

ProgressLine::ProgressLine(std::FILE* stream, std::int32_t total)
    : stream_(stream), total_(total), enabled_(isatty(fileno(stream)) != 0) {}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::update(std::int32_t done) {
    if (!enabled_)
        return;
    std::fprintf(stream_, "\r  %d/%d frames", static_cast<int>(done), static_cast<int>(total_));
    std::fflush(stream_);
    shown_ = true;
}

void ProgressLine::finish() {
    if (!shown_)
        return;
    std::fputc('\n', stream_);
    std::fflush(stream_);
    shown_ = false;
}

} // namespace cli
