#include "cli/StopSignals.h"

#include <atomic>

namespace cli {

namespace {

constexpr int handled[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void noteSignal(int signal) {
    int none = 0;
    firstSignal.compare_exchange_strong(none, signal);
}

} // namespace

StopSignals::StopSignals() {
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        sigaction(handled[i], &action, &previous_[i]);
}

StopSignals::~StopSignals() {
    for (int i = 0; i < 3; ++i)
        sigaction(handled[i], &previous_[i], nullptr);
}

int StopSignals::received() {
    return firstSignal.load();
}

} // namespace cli
