#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "liba/nocopy.h"

// The time that window timers, waits and the tick count run on: the monotonic clock,
// or, while a TestClock exists, a clock that a test moves by hand, so that tests of
// timers, tap-and-hold and blinking never sleep.
namespace platform {

using Clock = std::chrono::steady_clock;

Clock::time_point now();
// Milliseconds since an arbitrary start, wrapping at 32 bits.
std::uint32_t tick_count();
class TestClock;
// The test clock in use, or null when time is real.
TestClock* test_clock();

// While one exists, now() answers its time, which starts where the real clock stands
// and moves only by advance() or advance_to(). One at a time.
class TestClock : liba::Nocopy {
public:
    TestClock();
    ~TestClock();

    void advance(std::chrono::milliseconds step) { advance_to(now() + step); }
    // Moves the time forward to when (never back).
    void advance_to(Clock::time_point when);
    Clock::time_point now() const;

private:
    std::atomic<Clock::rep> ticks_;
};

} // namespace platform
