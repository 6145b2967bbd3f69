#include "platform/base/message_queue.h"

#include <atomic>
#include <unordered_map>

namespace platform {

namespace {

std::mutex registry_mutex;
std::unordered_map<ThreadId, std::weak_ptr<MessageQueue>>& registry()
{
    static std::unordered_map<ThreadId, std::weak_ptr<MessageQueue>> queues;
    return queues;
}

ThreadId next_thread_id()
{
    static std::atomic<ThreadId> last{0};
    return ++last;
}

// Keeps the thread's queue alive while the thread runs and withdraws it at exit.
struct ThreadQueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~ThreadQueueHolder()
    {
        if (!queue)
            return;
        {
            std::lock_guard lock(registry_mutex);
            registry().erase(queue->thread());
        }
        queue->close();
    }
};
thread_local ThreadQueueHolder holder;

} // namespace

struct MessageQueue::SentMessage {
    std::function<std::intptr_t()> call;
    std::shared_ptr<MessageQueue> sender;
    std::intptr_t result = 0;
    bool done = false; // guarded by the sender's mutex
};

MessageQueue::MessageQueue(ThreadId thread) : thread_(thread) {}

MessageQueue::~MessageQueue() = default;

std::shared_ptr<MessageQueue> MessageQueue::current()
{
    if (!holder.queue) {
        holder.queue.reset(new MessageQueue(next_thread_id()));
        std::lock_guard lock(registry_mutex);
        registry()[holder.queue->thread()] = holder.queue;
    }
    return holder.queue;
}

std::shared_ptr<MessageQueue> MessageQueue::of_thread(ThreadId thread)
{
    std::lock_guard lock(registry_mutex);
    const auto found = registry().find(thread);
    return found == registry().end() ? nullptr : found->second.lock();
}

ThreadId current_thread_id()
{
    return MessageQueue::current()->thread();
}

void MessageQueue::wake()
{
    changed_.notify_all();
    if (event_source_)
        event_source_->wake();
}

bool MessageQueue::post(const Message& message)
{
    std::lock_guard lock(mutex_);
    if (closed_)
        return false;
    posted_.push_back(message);
    wake();
    return true;
}

void MessageQueue::post_input(const Message& message)
{
    std::lock_guard lock(mutex_);
    input_.push_back(message);
    wake();
}

void MessageQueue::post_quit(int exit_code)
{
    std::lock_guard lock(mutex_);
    if (!quit_code_)
        quit_code_ = exit_code;
    wake();
}

std::intptr_t MessageQueue::send_from_other_thread(std::function<std::intptr_t()> call)
{
    const auto own = current();
    const auto sent = std::make_shared<SentMessage>();
    sent->call = std::move(call);
    sent->sender = own;
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return 0;
        sent_.push_back(sent);
        wake();
    }
    std::unique_lock lock(own->mutex_);
    while (!sent->done) {
        if (!own->answer_sent_messages(lock))
            own->changed_.wait(lock);
    }
    return sent->result;
}

bool MessageQueue::answer_sent_messages(std::unique_lock<std::mutex>& lock)
{
    if (sent_.empty())
        return false;
    while (!sent_.empty()) {
        const auto sent = sent_.front();
        sent_.pop_front();
        lock.unlock();
        const std::intptr_t result = sent->call();
        {
            std::lock_guard sender_lock(sent->sender->mutex_);
            sent->result = result;
            sent->done = true;
            sent->sender->wake();
        }
        lock.lock();
    }
    return true;
}

void MessageQueue::close()
{
    std::deque<std::shared_ptr<SentMessage>> unanswered;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        unanswered.swap(sent_);
    }
    for (const auto& sent : unanswered) {
        std::lock_guard sender_lock(sent->sender->mutex_);
        sent->done = true;
        sent->sender->wake();
    }
}

void MessageQueue::invalidate(WindowHandle window, const Rect& area)
{
    if (area.empty())
        return;
    std::lock_guard lock(mutex_);
    Rect& dirty = dirty_[window];
    dirty = dirty.united(area);
    wake();
}

Rect MessageQueue::take_dirty(WindowHandle window)
{
    std::lock_guard lock(mutex_);
    const auto found = dirty_.find(window);
    if (found == dirty_.end())
        return {};
    const Rect area = found->second;
    dirty_.erase(found);
    return area;
}

Rect MessageQueue::dirty(WindowHandle window) const
{
    std::lock_guard lock(mutex_);
    const auto found = dirty_.find(window);
    return found == dirty_.end() ? Rect{} : found->second;
}

void MessageQueue::set_timer(WindowHandle window, std::uintptr_t id, std::chrono::milliseconds period)
{
    period = std::max(period, std::chrono::milliseconds(1));
    std::lock_guard lock(mutex_);
    timers_[{window, id}] = Timer{period, now() + period};
    wake();
}

bool MessageQueue::kill_timer(WindowHandle window, std::uintptr_t id)
{
    std::lock_guard lock(mutex_);
    return timers_.erase({window, id}) > 0;
}

void MessageQueue::register_window(WindowHandle window)
{
    std::lock_guard lock(mutex_);
    windows_.insert(window);
}

void MessageQueue::forget_window(WindowHandle window)
{
    std::lock_guard lock(mutex_);
    windows_.erase(window);
    const auto for_window = [window](const Message& m) { return m.window == window; };
    std::erase_if(posted_, for_window);
    std::erase_if(input_, for_window);
    dirty_.erase(window);
    std::erase_if(timers_, [window](const auto& entry) { return entry.first.first == window; });
}

void MessageQueue::clear()
{
    std::lock_guard lock(mutex_);
    windows_.clear();
    posted_.clear();
    input_.clear();
    dirty_.clear();
    timers_.clear();
    quit_code_.reset();
}

void MessageQueue::set_event_source(EventSource* source)
{
    std::lock_guard lock(mutex_);
    event_source_ = source;
}

std::optional<Message> MessageQueue::take_from(std::deque<Message>& queue, const MessageFilter& filter, bool remove)
{
    for (auto it = queue.begin(); it != queue.end();) {
        if (it->window != no_window && !windows_.count(it->window)) {
            it = queue.erase(it);
            continue;
        }
        if (filter.matches(it->window, it->message)) {
            const Message message = *it;
            if (remove)
                queue.erase(it);
            return message;
        }
        ++it;
    }
    return std::nullopt;
}

std::optional<Message> MessageQueue::make_paint(const MessageFilter& filter) const
{
    for (const auto& [window, area] : dirty_) {
        if (!area.empty() && filter.matches(window, messages::paint))
            return Message{window, messages::paint, 0, 0};
    }
    return std::nullopt;
}

std::optional<Message> MessageQueue::make_timer(const MessageFilter& filter, bool remove, Clock::time_point now)
{
    auto earliest = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        const auto& [key, timer] = *it;
        if (timer.due > now || !filter.matches(key.first, messages::timer))
            continue;
        if (earliest == timers_.end() || timer.due < earliest->second.due)
            earliest = it;
    }
    if (earliest == timers_.end())
        return std::nullopt;
    // A timer that fell behind by several periods ticks once and starts afresh.
    if (remove)
        earliest->second.due = now + earliest->second.period;
    return Message{earliest->first.first, messages::timer, earliest->first.second, 0};
}

std::optional<Clock::time_point> MessageQueue::next_timer_due(const MessageFilter& filter) const
{
    std::optional<Clock::time_point> due;
    for (const auto& [key, timer] : timers_) {
        if (filter.matches(key.first, messages::timer) && (!due || timer.due < *due))
            due = timer.due;
    }
    return due;
}

MessageQueue::Result MessageQueue::next(Message& out, const MessageFilter& filter, bool remove, bool wait)
{
    return next_until(out, filter, remove, wait ? Clock::time_point::max() : Clock::time_point::min());
}

MessageQueue::Result MessageQueue::next_until(Message& out, const MessageFilter& filter, bool remove, Clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    if (event_source_) {
        EventSource* source = event_source_;
        lock.unlock();
        source->wait(Clock::time_point::min());
        lock.lock();
    }
    for (;;) {
        answer_sent_messages(lock);
        if (const auto m = take_from(posted_, filter, remove)) {
            out = *m;
            return Result::message;
        }
        if (quit_code_ && filter.matches(no_window, messages::quit)) {
            out = Message{no_window, messages::quit, static_cast<std::uintptr_t>(*quit_code_), 0};
            return Result::quit;
        }
        if (const auto m = take_from(input_, filter, remove)) {
            out = *m;
            return Result::message;
        }
        if (const auto m = make_paint(filter)) {
            out = *m;
            return Result::message;
        }
        const auto time = now();
        if (const auto m = make_timer(filter, remove, time)) {
            out = *m;
            return Result::message;
        }
        if (time >= deadline)
            return Result::none;
        const auto until = std::min(deadline, next_timer_due(filter).value_or(time + std::chrono::hours(1)));
        if (event_source_) {
            EventSource* source = event_source_;
            lock.unlock();
            source->wait(until);
            lock.lock();
        } else {
            // Real time passes here even under a test clock: only another thread can
            // end this wait.
            changed_.wait_for(lock, until - time);
        }
    }
}

bool post_thread_message(ThreadId thread, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    const auto queue = MessageQueue::of_thread(thread);
    return queue && queue->post(Message{no_window, message, wparam, lparam});
}

void post_quit_message(int exit_code)
{
    MessageQueue::current()->post_quit(exit_code);
}

bool get_message(Message& out, const MessageFilter& filter)
{
    return MessageQueue::current()->next(out, filter, true, true) == MessageQueue::Result::message;
}

bool peek_message(Message& out, const MessageFilter& filter, bool remove)
{
    return MessageQueue::current()->next(out, filter, remove, false) != MessageQueue::Result::none;
}

bool wait_message(Message& out, const MessageFilter& filter, Clock::time_point deadline)
{
    return MessageQueue::current()->next_until(out, filter, false, deadline) != MessageQueue::Result::none;
}

} // namespace platform
