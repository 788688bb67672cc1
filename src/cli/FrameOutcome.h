#pragma once

#include <string>

namespace cli {

// What became of one planned frame, as the manifest tells it.
struct FrameOutcome {
    enum class Status { Written, Skipped, Damaged, Exists, Planned };

    Status status = Status::Written;
    std::string file;   // UTF-8; empty when no file holds the frame
    std::string reason; // why it was not written; empty when it was
};

} // namespace cli
