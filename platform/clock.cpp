#include "platform/clock.h"

#include <chrono>

uint64_t SystemClock::NowMs() const {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::time_t SystemClock::WallSeconds() const { return std::time(nullptr); }

SystemClock& SystemClock::Instance() {
    static SystemClock clock;
    return clock;
}
