#pragma once

#include "cli/ProgressLine.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace cli {

// Messages and the progress line of a run, from any thread; a message never lands in the middle
// of the progress line.
class RunLog {
public:
    RunLog(std::FILE* err, std::int32_t totalFrames);

    // "kirimo-extract: <message>" on a line of its own.
    void message(const std::string& text);
    void fileWritten();
    // A file a run before this one wrote, left as it is.
    void fileKept();
    // A file written and then taken back: its picture proved damaged.
    void fileWithdrawn() { --written_; }
    std::int32_t filesWritten() const { return written_.load(); }
    void finish();

private:
    std::FILE* err_;
    std::mutex mutex_;
    ProgressLine progress_;
    std::atomic<std::int32_t> written_{0};
    std::int32_t kept_ = 0;
};

} // namespace cli
