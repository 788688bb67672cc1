#include "core/TimeBase.h"

namespace core {

namespace {

constexpr __int128 nanosecondsPerSecond = 1'000'000'000;

} // namespace

bool TimeBase::atOrBefore(std::int64_t ticks, std::int64_t nanoseconds) const {
    return static_cast<__int128>(ticks) * num * nanosecondsPerSecond <=
           static_cast<__int128>(nanoseconds) * den;
}

std::int64_t TimeBase::nanosecondsUp(std::int64_t ticks) const {
    return unitsUp(ticks, nanosecondsPerSecond);
}

std::int64_t TimeBase::millisecondsUp(std::int64_t ticks) const {
    return unitsUp(ticks, 1000);
}

std::int64_t TimeBase::unitsUp(std::int64_t ticks, std::int64_t perSecond) const {
    const __int128 scaled = static_cast<__int128>(ticks) * num * perSecond;
    __int128 whole = scaled / den;
    if (whole * den < scaled)
        ++whole; // up also for negative ticks: division truncates toward zero
    return static_cast<std::int64_t>(whole);
}

} // namespace core
