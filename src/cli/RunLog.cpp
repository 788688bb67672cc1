#include "cli/RunLog.h"

namespace cli {

RunLog::RunLog(std::FILE* err, std::int32_t totalFrames) : err_(err), progress_(err, totalFrames) {}

void RunLog::message(const std::string& text) {
    std::lock_guard lock(mutex_);
    progress_.finish();
    std::fprintf(err_, "kirimo-extract: %s\n", text.c_str());
    std::fflush(err_);
}

void RunLog::fileWritten() {
    std::lock_guard lock(mutex_);
    progress_.update(++written_ + kept_);
}

void RunLog::fileKept() {
    std::lock_guard lock(mutex_);
    progress_.update(written_ + ++kept_);
}

void RunLog::finish() {
    std::lock_guard lock(mutex_);
    progress_.finish();
}

} // namespace cli
