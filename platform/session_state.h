#pragma once

#include <map>
#include <memory>
#include <typeindex>

#include "platform/screen_state.h"
#include "platform/session.h"
#include "platform/shell_state.h"
#include "platform/window_state.h"

namespace platform {

// What a session owns; each part is read only by its own functions.
struct Session::State {
    WindowTable windows;
    ScreenState screen;
    ShellState shell;
    std::map<std::type_index, std::shared_ptr<void>> extensions;
};

} // namespace platform
