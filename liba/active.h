#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "liba/nocopy.h"

// Active objects: work that completes later (a timer running out, a worker reporting
// back) reaches the user-interface thread as a completion message, and the scheduler
// runs the object there. The user-interface thread never blocks on such work.

class CActive;

namespace liba {

// What the scheduler needs of the user-interface thread's message queue: completion
// messages to a target of its own, which cancel can take out one by one while every
// other message stays queued, one timer, and the millisecond tick count. The platform
// layer provides it; the queue hands the messages it dispatches to the handler.
class CompletionQueue {
public:
    class Handler {
    public:
        virtual void on_completion(CActive& object) = 0;
        virtual void on_timer() = 0;

    protected:
        ~Handler() = default;
    };

    virtual ~CompletionQueue() = default;
    virtual void set_handler(Handler* handler) = 0;
    // Any thread.
    virtual void post(CActive& object) = 0;
    // Takes the oldest completion out of the queue, waiting until one arrives.
    virtual CActive& take() = 0;
    // One timer tick after milliseconds, replacing a timer already set.
    virtual void set_timer(uint32_t milliseconds) = 0;
    virtual void kill_timer() = 0;
    // Milliseconds from a fixed start, wrapping at 32 bits.
    virtual uint32_t tick_count() = 0;
};

} // namespace liba

// Base of every active object. The scheduler marks it active when its request starts;
// notify(), from any thread, queues its completion; run() follows on the
// user-interface thread. Destroying an object that is still active is fatal.
class CActive : liba::Nocopy {
public:
    virtual ~CActive();

    bool is_active() const { return active_.load(std::memory_order_acquire); }
    // Stops the request without running the object; nothing when it is not active.
    void cancel();

protected:
    CActive() = default;
    friend class CActiveScheduler;

    virtual void run() = 0;
    // Must stop the request and make its completion happen now: the object's notify
    // has been called when this returns, or cancel waits for ever.
    virtual void do_cancel() = 0;

private:
    std::atomic<bool> active_{false};
};

// The one scheduler of the process, on the user-interface thread. It must outlive
// every active object. Misuse is a programming error and ends the process through
// liba::fatal_error.
class CActiveScheduler : liba::Nocopy, liba::CompletionQueue::Handler {
public:
    explicit CActiveScheduler(std::unique_ptr<liba::CompletionQueue> queue);
    virtual ~CActiveScheduler();

    // The process's scheduler; fatal when there is none.
    static CActiveScheduler& instance();

    void set_active(CActive& object);
    // The only operation for other threads: queues the completion, runs nothing.
    void notify(CActive& object);
    void process_actives(CActive& object);
    // Called through CActive::cancel. Completions of other objects taken out of the
    // queue meanwhile run right after, in the order they arrived.
    void cancel(CActive& object);

    // Timers: the object completes once its due tick count is reached.
    void start_timer(CActive& object, uint32_t due);
    // Takes a timer off the list; false when it is not there (it has fallen due).
    bool remove_timer(CActive& object);
    uint32_t tick_count() { return queue_->tick_count(); }

private:
    struct Timed {
        CActive* object;
        uint32_t due;
    };

    void on_completion(CActive& object) override { process_actives(object); }
    void on_timer() override { examine_timers(); }
    void examine_timers();
    void deactivate(CActive& object);

    std::unique_ptr<liba::CompletionQueue> queue_;
    std::vector<CActive*> actives_;
    std::deque<CActive*> pending_actives_;
    std::vector<Timed> timers_;
};

namespace liba {

// A one-shot timer on the user-interface thread. start() never calls the listener
// itself, even for a time already reached: the listener runs when the completion is
// dispatched. Restarting a running timer replaces its completion.
class Timer : Nocopy {
public:
    class Listener {
    public:
        virtual void on_timer(Timer& timer) = 0;
        virtual ~Listener() = default;
    };

    explicit Timer(Listener& listener);
    ~Timer();

    void start(double seconds);
    void cancel();
    bool is_active() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
    Listener& listener_;
};

} // namespace liba
