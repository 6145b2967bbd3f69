#include "liba/thread.h"

#include <algorithm>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace liba {
namespace {

// Linux has per-thread nice values; a step of the hand-held's priority scale is five
// nice steps. Raising priority above normal needs privileges; a refusal is harmless.
void apply_priority(int native_id, int level)
{
    if (native_id != 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(native_id), -5 * level);
}

} // namespace

Thread::~Thread()
{
    // The owner joins before destroying; a thread still running is left to finish on
    // its own rather than terminating the process.
    if (thread_.joinable())
        thread_.detach();
}

bool Thread::start()
{
    if (running_.load())
        return false;
    if (thread_.joinable())
        thread_.join(); // the previous run has returned; reap it before starting anew
    stop_requested_ = false;
    running_ = true;
    thread_ = std::thread(&Thread::thread_procedure, this);
    return true;
}

void Thread::thread_procedure()
{
    native_id_ = static_cast<int>(syscall(SYS_gettid));
    apply_priority(native_id_, priority_);
    run();
    native_id_ = 0;
    running_ = false;
}

void Thread::join()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

bool Thread::is_running() const { return running_.load(); }

void Thread::set_priority(int level)
{
    priority_ = std::clamp(level, -2, 2);
    apply_priority(native_id_, priority_);
}

void Event::set()
{
    std::lock_guard lock(mutex_);
    signalled_ = true;
    changed_.notify_all();
}

void Event::reset()
{
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void Event::wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
}

bool Event::is_set() const
{
    std::lock_guard lock(mutex_);
    return signalled_;
}

} // namespace liba
