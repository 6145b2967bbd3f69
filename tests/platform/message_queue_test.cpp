#include "platform/base/message_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/window.h"
#include "tests/platform/thread_runner.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t end_modal = 1057;
constexpr std::uint32_t active_completion = 1029;

// A window whose procedure writes down every message it is given.
struct RecordingWindow {
    std::vector<Message> seen;
    WindowHandle handle = no_window;

    RecordingWindow()
    {
        WindowSpec spec;
        spec.class_name = u"Recorder";
        spec.style = styles::visible;
        spec.rect = {0, 0, 20, 20};
        spec.procedure = [this](const Message& m) {
            seen.push_back(m);
            return default_window_procedure(m);
        };
        handle = create_window(spec);
    }
    ~RecordingWindow() { destroy_window(handle); }

    std::vector<std::uint32_t> numbers() const
    {
        std::vector<std::uint32_t> result;
        for (const auto& m : seen)
            result.push_back(m.message);
        return result;
    }
};

// Dispatches everything queued now; answers how many messages were taken.
int drain()
{
    int count = 0;
    Message m;
    while (peek_message(m)) {
        if (m.message == messages::quit)
            break;
        dispatch(m);
        ++count;
    }
    return count;
}

} // namespace

TEST(MessageQueue, ThreadMessagesFromAnotherThreadArriveInOrderAndWakeABlockedGet)
{
    run_on_own_thread([] {
        const ThreadId me = current_thread_id();
        std::thread poster([me] {
            for (std::uintptr_t i = 0; i < 200; ++i)
                ASSERT_TRUE(post_thread_message(me, 955 + static_cast<std::uint32_t>(i % 3), i));
        });
        for (std::uintptr_t i = 0; i < 200; ++i) {
            Message m;
            ASSERT_TRUE(get_message(m));
            EXPECT_EQ(m.window, no_window);
            EXPECT_EQ(m.message, 955 + i % 3);
            EXPECT_EQ(m.wparam, i);
        }
        poster.join();
    });
}

TEST(MessageQueue, PostingToAThreadWithoutQueueFails)
{
    ThreadId gone = 0;
    run_on_own_thread([&gone] { gone = current_thread_id(); });
    EXPECT_FALSE(post_thread_message(gone, 1024));
    EXPECT_FALSE(post_thread_message(0, 1024));
}

TEST(MessageQueue, SentComeBeforePostedBeforeInputBeforePaintBeforeTimers)
{
    run_on_own_thread([] {
        RecordingWindow window;
        drain();
        window.seen.clear();

        set_timer(window.handle, 7, 1);
        std::this_thread::sleep_for(5ms);
        invalidate(window.handle);
        deliver_pointer(messages::left_down, {5, 5});
        post_message(window.handle, messages::user + 1);

        std::atomic<bool> answered{false};
        std::thread sender([&] {
            EXPECT_EQ(send_message(window.handle, messages::user + 2), 0);
            answered = true;
        });
        // A peek that takes nothing still answers messages sent from other threads.
        Message m;
        const MessageFilter nothing{window.handle, 99999, 99999};
        while (window.seen.empty())
            peek_message(m, nothing);
        sender.join();
        EXPECT_TRUE(answered);

        kill_timer(window.handle, 7);
        set_timer(window.handle, 7, 1);
        std::this_thread::sleep_for(5ms);
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(get_message(m));
            dispatch(m);
        }
        kill_timer(window.handle, 7);
        EXPECT_EQ(window.numbers(), (std::vector<std::uint32_t>{messages::user + 2, messages::user + 1,
                                        messages::left_down, messages::paint, messages::timer}));
    });
}

TEST(MessageQueue, LateTimerTicksOnceAndKilledTimerNeverDelivers)
{
    run_on_own_thread([] {
        RecordingWindow window;
        drain();
        window.seen.clear();

        set_timer(window.handle, 1, 1);
        std::this_thread::sleep_for(20ms);
        drain();
        EXPECT_EQ(window.numbers(), std::vector<std::uint32_t>{messages::timer});
        EXPECT_EQ(window.seen[0].wparam, 1u);

        window.seen.clear();
        std::this_thread::sleep_for(20ms); // due again
        kill_timer(window.handle, 1);
        drain();
        EXPECT_TRUE(window.seen.empty());
    });
}

TEST(MessageQueue, InvalidationsCoalesceIntoOnePaintOfTheBoundingBox)
{
    run_on_own_thread([] {
        RecordingWindow window;
        drain();
        window.seen.clear();

        invalidate(window.handle, Rect{1, 2, 3, 3});
        invalidate(window.handle, Rect{10, 10, 2, 2});
        EXPECT_EQ(dirty_area(window.handle), (Rect{1, 2, 11, 10}));
        drain();
        EXPECT_EQ(window.numbers(), std::vector<std::uint32_t>{messages::paint});
        EXPECT_TRUE(dirty_area(window.handle).empty());
    });
}

TEST(MessageQueue, PeekWithWindowAndNumberFilterTakesOnlyThoseAndKeepsTheRestInOrder)
{
    run_on_own_thread([] {
        RecordingWindow a;
        RecordingWindow b;
        drain();
        post_message(a.handle, active_completion, 1);
        post_message(b.handle, active_completion, 2);
        post_message(a.handle, active_completion + 1, 3);
        post_message(a.handle, active_completion, 4);

        const MessageFilter own{a.handle, active_completion, active_completion};
        Message m;
        ASSERT_TRUE(peek_message(m, own));
        EXPECT_EQ(m.wparam, 1u);
        ASSERT_TRUE(peek_message(m, own, false));
        EXPECT_EQ(m.wparam, 4u);
        ASSERT_TRUE(peek_message(m, own));
        EXPECT_EQ(m.wparam, 4u);
        EXPECT_FALSE(peek_message(m, own));

        std::vector<std::uintptr_t> rest;
        while (peek_message(m))
            rest.push_back(m.wparam);
        EXPECT_EQ(rest, (std::vector<std::uintptr_t>{2, 3}));
    });
}

TEST(MessageQueue, FilteredGetWaitsForItsMessageWhileOthersStayQueued)
{
    run_on_own_thread([] {
        RecordingWindow window;
        drain();
        post_message(window.handle, messages::user);
        std::thread worker([h = window.handle] {
            std::this_thread::sleep_for(10ms);
            post_message(h, active_completion, 42);
        });
        Message m;
        ASSERT_TRUE(get_message(m, {window.handle, active_completion, active_completion}));
        EXPECT_EQ(m.wparam, 42u);
        worker.join();
        ASSERT_TRUE(peek_message(m));
        EXPECT_EQ(m.message, messages::user);
    });
}

TEST(MessageQueue, QuitInsideANestedLoopEndsEveryEnclosingLoop)
{
    run_on_own_thread([] {
        int nested_dispatched = 0;
        bool nested_ended = false;
        WindowSpec spec;
        spec.procedure = [&](const Message& m) -> std::intptr_t {
            if (m.message != messages::user)
                return default_window_procedure(m);
            // A modal loop of its own, like a dialog's.
            post_message(m.window, messages::user + 1);
            Message inner;
            while (get_message(inner)) {
                dispatch(inner);
                ++nested_dispatched;
                if (inner.message == messages::user + 1)
                    post_quit_message(3);
            }
            EXPECT_EQ(inner.message, messages::quit);
            EXPECT_EQ(inner.wparam, 3u);
            nested_ended = true;
            return 0;
        };
        const WindowHandle window = create_window(spec);
        post_message(window, messages::user);
        Message m;
        int outer_dispatched = 0;
        while (get_message(m)) {
            dispatch(m);
            ++outer_dispatched;
        }
        EXPECT_TRUE(nested_ended);
        EXPECT_EQ(nested_dispatched, 1);
        EXPECT_EQ(outer_dispatched, 1);
        EXPECT_EQ(m.message, messages::quit);
        destroy_window(window);
    });
}

TEST(MessageQueue, MessagesOfADestroyedWindowAreDroppedAndNeverReachTheNextDialog)
{
    run_on_own_thread([] {
        auto first = std::make_unique<RecordingWindow>();
        const WindowHandle first_handle = first->handle;
        post_message(first_handle, end_modal);
        set_timer(first_handle, 1, 1);
        invalidate(first_handle);
        first.reset();
        EXPECT_FALSE(post_message(first_handle, end_modal));

        RecordingWindow second;
        EXPECT_NE(second.handle, first_handle);
        std::this_thread::sleep_for(5ms);
        Message m;
        while (peek_message(m)) {
            EXPECT_NE(m.window, first_handle);
            EXPECT_NE(m.message, end_modal);
            dispatch(m);
        }
    });
}

TEST(MessageQueue, WorkerThreadPostsStartsTimersAndInvalidatesWakingTheUiThread)
{
    run_on_own_thread([] {
        RecordingWindow window;
        drain();
        window.seen.clear();

        std::thread worker([h = window.handle] {
            for (std::uintptr_t i = 0; i < 50; ++i)
                post_message(h, messages::user, i);
            invalidate(h, Rect{0, 0, 4, 4});
            set_timer(h, 9, 1);
        });
        int posted = 0, paints = 0, timers = 0;
        Message m;
        while (timers == 0 && get_message(m)) {
            dispatch(m);
            if (m.message == messages::user) {
                EXPECT_EQ(m.wparam, static_cast<std::uintptr_t>(posted++));
            }
            paints += m.message == messages::paint;
            timers += m.message == messages::timer;
        }
        worker.join();
        std::thread([h = window.handle] { kill_timer(h, 9); }).join();
        drain();
        EXPECT_EQ(posted, 50);
        EXPECT_EQ(paints, 1);
        EXPECT_EQ(timers, 1);
    });
}

TEST(MessageQueue, SendFromAnotherThreadRunsOnTheOwnerAndReturnsItsAnswer)
{
    run_on_own_thread([] {
        std::thread::id ran_on;
        WindowSpec spec;
        spec.procedure = [&ran_on](const Message& m) -> std::intptr_t {
            if (m.message != messages::user)
                return default_window_procedure(m);
            ran_on = std::this_thread::get_id();
            return static_cast<std::intptr_t>(m.wparam * 2);
        };
        const WindowHandle window = create_window(spec);
        std::atomic<std::intptr_t> answer{0};
        std::thread sender([&] {
            answer = send_message(window, messages::user, 21);
            post_message(window, messages::user + 1);
        });
        Message m;
        while (get_message(m) && m.message != messages::user + 1)
            dispatch(m);
        sender.join();
        EXPECT_EQ(answer, 42);
        EXPECT_EQ(ran_on, std::this_thread::get_id());
        destroy_window(window);
    });
}

TEST(MessageQueue, AThreadThatEndsAnswersWaitingSendersAndRefusesPosts)
{
    std::atomic<WindowHandle> window{no_window};
    std::atomic<bool> may_end{false};
    std::thread owner([&] {
        WindowSpec spec;
        window = create_window(spec);
        while (!may_end)
            std::this_thread::yield();
        // Ends without taking messages and without destroying its window.
    });
    while (window == no_window)
        std::this_thread::yield();
    std::thread sender([&] { EXPECT_EQ(send_message(window, messages::user), 0); });
    std::this_thread::sleep_for(10ms);
    may_end = true;
    owner.join();
    sender.join();
    EXPECT_FALSE(post_message(window, messages::user));
    destroy_window(window);
}
