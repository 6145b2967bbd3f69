#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "liba/nocopy.h"
#include "platform/base/clock.h"
#include "platform/base/geometry.h"
#include "platform/base/message.h"

namespace platform {

using ThreadId = std::uint32_t;

// Which messages a get or peek takes: those of one window (no_window: every window of
// the thread and the thread's own messages) whose number lies in [first, last]
// (0 and 0: every number).
struct MessageFilter {
    WindowHandle window = no_window;
    std::uint32_t first = 0;
    std::uint32_t last = 0;

    bool matches(WindowHandle w, std::uint32_t message) const
    {
        if (window != no_window && w != window)
            return false;
        return (first == 0 && last == 0) || (message >= first && message <= last);
    }
};

// Where input from outside the program comes from (a desktop window, a script). The
// thread that owns the queue waits in it when nothing is queued, so that input keeps
// arriving while any message loop runs; other threads interrupt the wait with wake().
class EventSource {
public:
    virtual ~EventSource() = default;
    // Turns pending outside events into input messages; blocks until something
    // arrived, wake() was called or the deadline passed.
    virtual void wait(Clock::time_point deadline) = 0;
    virtual void wake() = 0;
};

// The message queue of one thread. Any thread may post to it, start and stop timers
// of its windows and mark its windows for painting; only the owning thread takes
// messages out. Messages come out in this order: sent from other threads, posted,
// quit, input, paint, timers. Paint and timer messages are made when they are taken,
// so repeated invalidations give one paint and a late timer ticks once. The queue
// knows the windows of its thread: messages for a window it does not know (one that
// is gone) are dropped.
class MessageQueue : liba::Nocopy {
public:
    // The calling thread's queue, made on first use.
    static std::shared_ptr<MessageQueue> current();
    // The queue of a thread that has one and is still running; null otherwise.
    static std::shared_ptr<MessageQueue> of_thread(ThreadId thread);

    ~MessageQueue();

    ThreadId thread() const { return thread_; }

    // False once the owning thread has ended.
    bool post(const Message& message);
    void post_input(const Message& message);
    // Once posted, quit stays: every loop of the thread, nested or not, sees it.
    void post_quit(int exit_code);
    // Runs the call on the owning thread and waits for its answer; the caller's own
    // queue keeps answering calls sent to it meanwhile. 0 when the thread has ended.
    std::intptr_t send_from_other_thread(std::function<std::intptr_t()> call);

    void invalidate(WindowHandle window, const Rect& area);
    // The area awaiting paint, now cleared.
    Rect take_dirty(WindowHandle window);
    Rect dirty(WindowHandle window) const;

    void set_timer(WindowHandle window, std::uintptr_t id, std::chrono::milliseconds period);
    bool kill_timer(WindowHandle window, std::uintptr_t id);

    // A window of this thread begins; messages may be queued for it from now on.
    void register_window(WindowHandle window);
    // Drops everything queued for a window that is going away.
    void forget_window(WindowHandle window);
    // Drops every message, paint, timer and window, and a quit: a fresh start for the
    // thread (a new session of the windowing layer).
    void clear();

    // When the earliest timer falls due; nothing without timers.
    std::optional<Clock::time_point> next_timer_due() const { return next_timer_due({}); }

    // Takes (or, without remove, copies) the next message that passes the filter;
    // waits for one when asked to. Messages sent from other threads are answered on
    // the way, whatever the filter.
    enum class Result { message, quit, none };
    Result next(Message& out, const MessageFilter& filter, bool remove, bool wait);
    // The same, waiting no longer than the deadline.
    Result next_until(Message& out, const MessageFilter& filter, bool remove, Clock::time_point deadline);

    void set_event_source(EventSource* source);

    // The owning thread ends: posts fail from now on and senders still waiting get 0.
    void close();

private:
    struct SentMessage;
    struct Timer {
        std::chrono::milliseconds period;
        Clock::time_point due;
    };
    using TimerKey = std::pair<WindowHandle, std::uintptr_t>;

    explicit MessageQueue(ThreadId thread);
    void wake();
    bool answer_sent_messages(std::unique_lock<std::mutex>& lock);
    std::optional<Message> take_from(std::deque<Message>& queue, const MessageFilter& filter, bool remove);
    std::optional<Message> make_paint(const MessageFilter& filter) const;
    std::optional<Message> make_timer(const MessageFilter& filter, bool remove, Clock::time_point now);
    std::optional<Clock::time_point> next_timer_due(const MessageFilter& filter) const;

    const ThreadId thread_;
    mutable std::mutex mutex_;
    std::set<WindowHandle> windows_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<SentMessage>> sent_;
    std::deque<Message> posted_;
    std::deque<Message> input_;
    std::map<WindowHandle, Rect> dirty_;
    std::map<TimerKey, Timer> timers_;
    std::optional<int> quit_code_;
    EventSource* event_source_ = nullptr;
    bool closed_ = false;
};

// The calling thread's id; asking for it makes the thread's queue, so that the
// thread can receive thread messages from then on.
ThreadId current_thread_id();

} // namespace platform

namespace platform {

// Thread messages (window no_window) for a thread that has a queue; false otherwise.
bool post_thread_message(ThreadId thread, std::uint32_t message, std::uintptr_t wparam = 0,
    std::intptr_t lparam = 0);
// Ends every message loop of the calling thread: get_message answers false from now on.
void post_quit_message(int exit_code);
// Waits for the next message of the calling thread that passes the filter; false at
// quit (the message is then the quit message with the exit code in wparam).
bool get_message(Message& out, const MessageFilter& filter = {});
// Looks without waiting; with remove the message is taken out of the queue.
bool peek_message(Message& out, const MessageFilter& filter = {}, bool remove = true);
// Waits until a message that passes the filter is queued (it stays queued) or the
// deadline passes; false then.
bool wait_message(Message& out, const MessageFilter& filter, Clock::time_point deadline);

} // namespace platform
