#pragma once

#include <csignal>

namespace cli {

// While it lives, SIGINT, SIGTERM and SIGHUP no longer end the process: they only ask the run to
// stop after the files in hand, so nothing is left half written. The earlier handlers return
// afterwards.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first signal received, 0 while none came.
    static int received();

private:
    struct sigaction previous_[3];
};

} // namespace cli
