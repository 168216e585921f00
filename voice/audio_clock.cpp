// Tested through tests/voice/audio_graph_test.cpp.
#include "voice/audio_clock.h"

#include <cstdint>

#include "platform/clock.h"

namespace {

const Clock* g_clock = nullptr;
uint64_t g_originMs = 0;

}  // namespace

double AudioClockSeconds() {
    if (!g_clock) SetAudioClock(nullptr);
    return static_cast<double>(g_clock->NowMs() - g_originMs) / 1000.0;
}

void SetAudioClock(const Clock* clock) {
    g_clock = clock ? clock : &SystemClock::Instance();
    g_originMs = g_clock->NowMs();
}
