#pragma once

#include <functional>
#include <thread>

// Runs a test body on a fresh thread: it gets a fresh message queue, so a quit or a
// timer left behind by one test never reaches the next.
inline void run_on_own_thread(const std::function<void()>& body)
{
    std::thread thread(body);
    thread.join();
}
