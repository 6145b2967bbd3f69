#pragma once

#include <memory>
#include <mutex>

#include "platform/screen.h"

// The screen of a session; only the screen functions and the session read it.
namespace platform {

struct ScreenState {
    std::mutex mutex;
    ScreenConfig config;
    bool full_screen = false;
    Rect pending;     // changed, not yet composed
    Rect unpresented; // composed, not yet taken by the back end
    std::unique_ptr<Surface> surface;
    bool raise_requested = false;
};

} // namespace platform
