#pragma once

#include <cstdint>
#include <memory>

#include "liba/nocopy.h"
#include "platform/base/message.h"

namespace skinner {

// Hooks a handler into the message stream of a window that someone else drives. Any
// number of subclasses may sit on one window: each message goes to the last attached
// first, and then to the window's own procedure unless a handler keeps it.
class ControlSubclass : liba::Nocopy {
public:
    ControlSubclass() = default;
    // Detaches, so that the window never calls into a subclass that is gone.
    virtual ~ControlSubclass();

    // Called for every message of the window. pass_on arrives true; a handler that
    // clears it keeps the message from the window's own procedure, and its answer
    // becomes the message's answer.
    virtual std::intptr_t handle_message(const platform::Message& message, bool& pass_on);

    void attach(platform::WindowHandle window);
    void detach();
    platform::WindowHandle window() const { return window_; }

    struct Chain;

private:
    platform::WindowHandle window_ = platform::no_window;
    std::shared_ptr<Chain> chain_;
};

} // namespace skinner
