#pragma once

#include <memory>

#include "liba/active.h"
#include "platform/base/message.h"
#include "platform/base/message_queue.h"

namespace platform {

// Completion message of an active object; wparam carries the CActive pointer.
constexpr std::uint32_t active_completion = messages::user + 5;

// The active scheduler's hidden window on the creating (user-interface) thread's
// queue: completions arrive as active_completion messages to it and the scheduler's
// timer as its timer 1, both handed to the scheduler when the thread's message loop
// dispatches them. It is never shown.
class SchedulerWindow : public liba::CompletionQueue, liba::Nocopy {
public:
    SchedulerWindow();
    ~SchedulerWindow() override;

    WindowHandle handle() const { return window_; }

    void set_handler(Handler* handler) override { handler_ = handler; }
    void post(CActive& object) override;
    // Takes only this window's completions; every other message stays queued.
    CActive& take() override;
    void set_timer(uint32_t milliseconds) override;
    void kill_timer() override;
    uint32_t tick_count() override;

private:
    std::intptr_t procedure(const Message& message);

    std::shared_ptr<MessageQueue> queue_;
    Handler* handler_ = nullptr;
    WindowHandle window_ = no_window;
};

} // namespace platform
