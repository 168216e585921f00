// The classic 15-bit linear congruential generator. Behaviour that depends on
// random numbers owns one, seeded explicitly, so tests are deterministic.
// Tested by tests/foundation/random15_test.cpp.
#pragma once

#include <cstdint>

class Random15 {
public:
    explicit Random15(uint32_t seed = 1) : m_state(seed) {}
    void Seed(uint32_t seed) { m_state = seed; }
    // 0 to 32767.
    int Next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state;
};
