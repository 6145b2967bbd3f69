#include "platform/scheduler_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "liba/active.h"
#include "platform/window.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// A window that writes down the numbers of the messages it is given.
struct OtherWindow {
    std::vector<std::uint32_t> seen;
    WindowHandle handle = no_window;

    OtherWindow()
    {
        WindowSpec spec;
        spec.class_name = u"Other";
        spec.rect = {0, 0, 10, 10};
        spec.procedure = [this](const Message& m) {
            if (m.message >= messages::user)
                seen.push_back(m.message);
            return default_window_procedure(m);
        };
        handle = create_window(spec);
    }
    ~OtherWindow() { destroy_window(handle); }
};

// One turn of the user-interface thread's loop, waiting for a message.
void dispatch_next()
{
    Message m;
    ASSERT_TRUE(get_message(m));
    dispatch(m);
}

void dispatch_queued()
{
    Message m;
    while (peek_message(m))
        dispatch(m);
}

class Request : public CActive {
public:
    Request(std::string name, std::vector<std::string>& ran) : name_(std::move(name)), ran_(ran) {}
    ~Request() override { cancel(); }
    void start() { CActiveScheduler::instance().set_active(*this); }
    void complete() { CActiveScheduler::instance().notify(*this); }

private:
    void run() override { ran_.push_back(name_); }
    void do_cancel() override {}

    std::string name_;
    std::vector<std::string>& ran_;
};

struct Counting : liba::Timer::Listener {
    void on_timer(liba::Timer&) override { ++calls; }
    int calls = 0;
};

class SchedulerWindowTest : public testing::Test {
protected:
    ~SchedulerWindowTest() override { dispatch_queued(); }

    SchedulerWindow* window = new SchedulerWindow;
    CActiveScheduler scheduler{std::unique_ptr<SchedulerWindow>(window)};
};

TEST_F(SchedulerWindowTest, ZeroSecondTimerRunsWhenTheLoopDispatches)
{
    Counting listener;
    liba::Timer timer(listener);
    timer.start(0);
    EXPECT_EQ(listener.calls, 0);
    dispatch_next();
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(window_class(window->handle()), u"CActiveSchedulerClass");
    EXPECT_FALSE(is_window_visible(window->handle()));
}

TEST_F(SchedulerWindowTest, CancelTakesOnlyCompletionsAndLeavesOtherMessagesQueued)
{
    OtherWindow other;
    std::vector<std::string> ran;
    Request a("a", ran), b("b", ran), c("c", ran);
    for (Request* r : {&a, &b, &c})
        r->start();
    post_message(other.handle, messages::user + 1);
    a.complete();
    post_message(other.handle, messages::user + 2);
    b.complete();
    c.complete();
    post_message(other.handle, messages::user + 3);
    c.cancel();
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(other.seen.empty());
    dispatch_queued();
    EXPECT_EQ(other.seen, (std::vector<std::uint32_t>{messages::user + 1, messages::user + 2, messages::user + 3}));
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b"}));
}

TEST_F(SchedulerWindowTest, TimersFireThroughThePlatformTimer)
{
    Counting near_listener, far_listener, cancelled_listener;
    liba::Timer near_timer(near_listener), far_timer(far_listener), cancelled(cancelled_listener);
    far_timer.start(0.04);
    near_timer.start(0.02);
    cancelled.start(0.01);
    cancelled.cancel();
    while (far_listener.calls == 0)
        dispatch_next();
    EXPECT_EQ(near_listener.calls, 1);
    EXPECT_EQ(far_listener.calls, 1);
    EXPECT_EQ(cancelled_listener.calls, 0);
}

TEST_F(SchedulerWindowTest, CancelWaitsForACompletionPostedByAWorker)
{
    class WorkerRequest : public CActive {
    public:
        ~WorkerRequest() override
        {
            cancel();
            if (worker_.joinable())
                worker_.join();
        }
        void start() { CActiveScheduler::instance().set_active(*this); }
        bool ran = false;

    private:
        void run() override { ran = true; }
        void do_cancel() override
        {
            worker_ = std::thread([this] {
                std::this_thread::sleep_for(20ms);
                CActiveScheduler::instance().notify(*this);
            });
        }
        std::thread worker_;
    };
    OtherWindow other;
    WorkerRequest request;
    request.start();
    post_message(other.handle, messages::user + 7);
    request.cancel();
    EXPECT_FALSE(request.ran);
    EXPECT_FALSE(request.is_active());
    dispatch_queued();
    EXPECT_EQ(other.seen, (std::vector<std::uint32_t>{messages::user + 7}));
}

} // namespace
