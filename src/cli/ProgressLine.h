#pragma once

#include <cstdint>
#include <cstdio>

namespace cli {

// "  n/N frames" rewritten in place on a terminal; silent when the stream is a file or pipe.
class ProgressLine {
public:
    ProgressLine(std::FILE* stream, std::int32_t total);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(std::int32_t done);
    // Ends the line, so later messages start on a line of their own.
    void finish();

private:
    std::FILE* stream_;
    std::int32_t total_;
    bool enabled_;
    bool shown_ = false;
};

} // namespace cli
