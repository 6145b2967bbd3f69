#include "platform/session.h"

#include <atomic>

#include "platform/session_state.h"
#include "platform/window.h"

namespace platform {

namespace {

std::atomic<Session*> installed{nullptr};

} // namespace

Session::Session(DefaultTag)
    : state_(std::make_unique<State>())
{
}

Session::Session(const ScreenConfig& screen)
    : state_(std::make_unique<State>())
{
    MessageQueue::current()->clear();
    previous_ = installed.exchange(this);
    installed_ = true;
    configure_screen(screen);
}

Session::~Session()
{
    if (!installed_)
        return;
    for (const WindowHandle window : top_level_windows())
        destroy_window(window);
    state_->extensions.clear();
    MessageQueue::current()->clear();
    installed.store(previous_);
}

std::shared_ptr<void>& Session::extension_slot(std::type_index type) { return state_->extensions[type]; }

Session& Session::current()
{
    if (Session* session = installed.load(std::memory_order_acquire))
        return *session;
    // Lives until the process ends, since workers may still reach it at exit.
    static Session* const fallback = new Session(DefaultTag{});
    return *fallback;
}

} // namespace platform
