#pragma once

#include <csignal>
#include <string_view>

namespace cli {

// While it lives, SIGINT, SIGTERM and SIGHUP (on Windows SIGINT, SIGTERM and SIGBREAK) no longer
// end the process: they only ask the run to stop after the files in hand, so nothing is left
// half written. The earlier handlers return afterwards.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first signal received, 0 while none came.
    static int received();
    // A handled signal's name without its "SIG", as "INT".
    static std::string_view name(int signal);

private:
#ifdef _WIN32
    using Handler = void (*)(int);
    Handler previous_[3];
#else
    struct sigaction previous_[3];
#endif
};

} // namespace cli
