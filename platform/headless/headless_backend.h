#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/backend.h"

namespace platform::headless {

// The back end without a display: the screen exists only in memory, and the only
// input is what a script or a test gives (platform/script.h).
class Backend : public platform::Backend {
public:
    Backend();
    ~Backend() override;

    void wait(Clock::time_point deadline) override;
    void wake() override;

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wake_requested_ = false;
};

std::unique_ptr<platform::Backend> open_backend(const BackendOptions& options);

} // namespace platform::headless
