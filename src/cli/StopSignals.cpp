#include "cli/StopSignals.h"

#include <atomic>

namespace cli {

namespace {

struct HandledSignal {
    int number;
    std::string_view name;
};

#ifdef _WIN32
// Ctrl+Break arrives as SIGBREAK; Windows has no SIGHUP.
constexpr HandledSignal handled[] = {{SIGINT, "INT"}, {SIGTERM, "TERM"}, {SIGBREAK, "BREAK"}};
#else
constexpr HandledSignal handled[] = {{SIGINT, "INT"}, {SIGTERM, "TERM"}, {SIGHUP, "HUP"}};
#endif

std::atomic<int> firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void noteSignal(int signal) {
#ifdef _WIN32
    // Windows puts the default handler back before calling this one: a second Ctrl+C would end
    // the process while it finishes the files in hand.
    std::signal(signal, noteSignal);
#endif
    int none = 0;
    firstSignal.compare_exchange_strong(none, signal);
}

} // namespace

#ifdef _WIN32
StopSignals::StopSignals() {
    for (int i = 0; i < 3; ++i)
        previous_[i] = std::signal(handled[i].number, noteSignal);
}

StopSignals::~StopSignals() {
    for (int i = 0; i < 3; ++i)
        std::signal(handled[i].number, previous_[i]);
}
#else
StopSignals::StopSignals() {
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        sigaction(handled[i].number, &action, &previous_[i]);
}

StopSignals::~StopSignals() {
    for (int i = 0; i < 3; ++i)
        sigaction(handled[i].number, &previous_[i], nullptr);
}
#endif

int StopSignals::received() {
    return firstSignal.load();
}

std::string_view StopSignals::name(int signal) {
    for (const HandledSignal& entry : handled) {
        if (entry.number == signal)
            return entry.name;
    }
    return "?";
}

} // namespace cli
