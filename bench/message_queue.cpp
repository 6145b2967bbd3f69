// links: platform liba
// Message throughput: posts from a worker thread taken by the owner thread, sends
// across threads, and the cost of a screen composition of one full-screen window.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/base/message_queue.h"
#include "platform/screen.h"
#include "platform/window.h"

using namespace platform;
using Seconds = std::chrono::duration<double>;

namespace {

void posted_from_a_worker(int count)
{
    WindowSpec spec;
    const WindowHandle window = create_window(spec);
    const auto start = Clock::now();
    std::thread worker([window, count] {
        for (int i = 0; i < count; ++i)
            post_message(window, messages::user, static_cast<std::uintptr_t>(i));
    });
    Message m;
    for (int taken = 0; taken < count && get_message(m);)
        taken += m.message == messages::user;
    worker.join();
    const double seconds = Seconds(Clock::now() - start).count();
    std::printf("posted from a worker: %d messages in %.3f s, %.2f million/s\n", count, seconds, count / seconds / 1e6);
    destroy_window(window);
}

void sent_across_threads(int count)
{
    WindowSpec spec;
    spec.procedure = [](const Message& m) { return static_cast<std::intptr_t>(m.wparam); };
    const WindowHandle window = create_window(spec);
    std::atomic<bool> done{false};
    const auto start = Clock::now();
    std::thread worker([&] {
        for (int i = 0; i < count; ++i)
            send_message(window, messages::user, static_cast<std::uintptr_t>(i));
        done = true;
        post_message(window, messages::user + 1);
    });
    Message m;
    while (!done && get_message(m))
        dispatch(m);
    worker.join();
    const double seconds = Seconds(Clock::now() - start).count();
    std::printf("sent across threads: %d round trips in %.3f s, %.1f us each\n", count, seconds, seconds / count * 1e6);
    destroy_window(window);
}

void full_screen_composition(int count)
{
    configure_screen({});
    WindowSpec spec;
    spec.style = styles::visible;
    spec.rect = {0, 0, 480, 640};
    const WindowHandle window = create_window(spec);
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        screen_damaged({0, 0, 480, 640});
        take_screen_damage();
    }
    const double seconds = Seconds(Clock::now() - start).count();
    std::printf("480x640 screen composition with bars: %.2f ms each\n", seconds / count * 1e3);
    destroy_window(window);
}

} // namespace

int main()
{
    posted_from_a_worker(1'000'000);
    sent_across_threads(20'000);
    full_screen_composition(200);
    return 0;
}
