#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "liba/nocopy.h"

namespace liba {

// Base of worker threads: derive, implement run(), start(), and later request_stop()
// and join(). run() polls stop_requested(); nothing forces a thread to stop.
class Thread : Nocopy {
public:
    Thread() = default;
    virtual ~Thread();

    bool start();
    void join();
    bool is_running() const;

    void request_stop() { stop_requested_.store(true, std::memory_order_relaxed); }
    bool stop_requested() const { return stop_requested_.load(std::memory_order_relaxed); }

    // Levels -2..2 (clamped): lowest, below normal, normal, above normal, highest.
    // Takes effect on the running thread, or when it starts.
    void set_priority(int level);
    int priority() const { return priority_.load(); }

protected:
    virtual void run() = 0;

private:
    void thread_procedure();

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_requested_{false};
    std::atomic<int> priority_{0};
    std::atomic<int> native_id_{0};
};

// Manual-reset event, created not signalled.
class Event : Nocopy {
public:
    void set();
    void reset();
    void wait();
    bool is_set() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
};

// Re-entrant lock: the holder may take it again and must release it as often.
class Mutex : Nocopy {
public:
    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

// Holds a Mutex for the life of a scope.
class Lock : Nocopy {
public:
    explicit Lock(Mutex& mutex) : mutex_(mutex) { mutex_.lock(); }
    ~Lock() { mutex_.unlock(); }

private:
    Mutex& mutex_;
};

} // namespace liba
