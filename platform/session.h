#pragma once

#include <memory>
#include <typeindex>

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

    // State that a layer above keeps for the session (the framework's list of live
    // forms, say): made on first use, gone with the session. User-interface thread.
    template <class T> T& extension()
    {
        std::shared_ptr<void>& slot = extension_slot(typeid(T));
        if (!slot)
            slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    struct State;
    State& state() { return *state_; }

private:
    std::shared_ptr<void>& extension_slot(std::type_index type);

    struct DefaultTag { };
    explicit Session(DefaultTag);

    std::unique_ptr<State> state_;
    Session* previous_ = nullptr;
    bool installed_ = false;
};

} // namespace platform
