#pragma once

#include <memory>

#include "liba/nocopy.h"
#include "platform/screen.h"

// Everything the windowing layer keeps: the windows, the screen and the shell's bars,
// message boxes and clipboard. A program makes one session in main; a test makes one
// per test, so that each starts from an empty screen. Without one, a default session
// serves, for programs and tests that need no fresh start.
namespace platform {

class Session : liba::Nocopy {
public:
    // Made on the user-interface thread, whose queue starts empty.
    explicit Session(const ScreenConfig& screen = {});
    // Destroys the windows still open and empties the thread's queue again; the
    // session that was current before becomes current again.
    ~Session();

    static Session& current();

    struct State;
    State& state() { return *state_; }

private:
    struct DefaultTag {};
    explicit Session(DefaultTag);

    std::unique_ptr<State> state_;
    Session* previous_ = nullptr;
    bool installed_ = false;
};

} // namespace platform
