// The clocks every timed class reads: a monotonic millisecond clock and
// wall-clock seconds, behind one interface so tests run on a manual clock.
// Tested by tests/platform/clock_test.cpp.
#pragma once

#include <cstdint>
#include <ctime>

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds since an arbitrary origin; never goes back.
    virtual uint64_t NowMs() const = 0;
    // Seconds since the epoch, as time() gives them.
    virtual std::time_t WallSeconds() const = 0;
};

class SystemClock final : public Clock {
public:
    uint64_t NowMs() const override;
    std::time_t WallSeconds() const override;
    // The process-wide instance that production code uses by default.
    static SystemClock& Instance();
};

// A clock that moves only when told to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(uint64_t startMs = 0, std::time_t wallSeconds = 0)
        : m_nowMs(startMs), m_wallSeconds(wallSeconds) {}
    uint64_t NowMs() const override { return m_nowMs; }
    std::time_t WallSeconds() const override { return m_wallSeconds; }
    void Advance(uint64_t ms) {
        m_nowMs += ms;
        m_wallSeconds += static_cast<std::time_t>((m_carryMs + ms) / 1000);
        m_carryMs = (m_carryMs + ms) % 1000;
    }
    void SetWallSeconds(std::time_t seconds) { m_wallSeconds = seconds; }

private:
    uint64_t m_nowMs;
    std::time_t m_wallSeconds;
    uint64_t m_carryMs = 0;
};
