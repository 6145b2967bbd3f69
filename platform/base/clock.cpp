#include "platform/base/clock.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<TestClock*> manual_clock{nullptr};

} // namespace

Clock::time_point now()
{
    const TestClock* test = manual_clock.load(std::memory_order_acquire);
    return test ? test->now() : Clock::now();
}

std::uint32_t tick_count()
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now().time_since_epoch());
    return static_cast<std::uint32_t>(elapsed.count());
}

TestClock* test_clock() { return manual_clock.load(std::memory_order_acquire); }

TestClock::TestClock()
    : ticks_(Clock::now().time_since_epoch().count())
{
    manual_clock.store(this, std::memory_order_release);
}

TestClock::~TestClock() { manual_clock.store(nullptr, std::memory_order_release); }

void TestClock::advance_to(Clock::time_point when)
{
    Clock::rep current = ticks_.load();
    const Clock::rep wanted = when.time_since_epoch().count();
    while (wanted > current && !ticks_.compare_exchange_weak(current, wanted)) { }
}

Clock::time_point TestClock::now() const { return Clock::time_point(Clock::duration(ticks_.load())); }

} // namespace platform
