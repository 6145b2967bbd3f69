#include "platform/headless/headless_backend.h"

#include <algorithm>

namespace platform::headless {

Backend::Backend()
{
    MessageQueue::current()->set_event_source(this);
}

Backend::~Backend()
{
    MessageQueue::current()->set_event_source(nullptr);
}

void Backend::wake()
{
    std::lock_guard lock(mutex_);
    wake_requested_ = true;
    woken_.notify_all();
}

void Backend::wait(Clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    const auto current = now();
    if (deadline > current) {
        // Real time passes here even under a test clock: another thread ends the wait.
        const auto left = std::min<Clock::duration>(deadline - current, std::chrono::hours(1));
        woken_.wait_for(lock, left, [this] { return wake_requested_; });
    }
    wake_requested_ = false;
}

std::unique_ptr<platform::Backend> open_backend(const BackendOptions&)
{
    return std::make_unique<Backend>();
}

} // namespace platform::headless
