#include "liba/log.h"
#include "liba/active.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// A message queue reduced to what the scheduler sees: completions in order, one timer
// and a clock the test moves.
class FakeQueue : public liba::CompletionQueue {
public:
    void set_handler(Handler* handler) override { handler_ = handler; }
    void post(CActive& object) override
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(&object);
        arrived_.notify_all();
    }
    CActive& take() override
    {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return !posted_.empty(); });
        CActive* object = posted_.front();
        posted_.pop_front();
        return *object;
    }
    void set_timer(uint32_t milliseconds) override { armed = milliseconds; }
    void kill_timer() override { armed.reset(); }
    uint32_t tick_count() override { return now; }

    size_t queued()
    {
        std::lock_guard lock(mutex_);
        return posted_.size();
    }
    // One turn of the message loop: the oldest completion is dispatched.
    bool dispatch_one()
    {
        CActive* object = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty())
                return false;
            object = posted_.front();
            posted_.pop_front();
        }
        handler_->on_completion(*object);
        return true;
    }
    void dispatch_all()
    {
        while (dispatch_one()) {
        }
    }
    void fire_timer() { handler_->on_timer(); }

    std::optional<uint32_t> armed;
    uint32_t now = 1000;

private:
    Handler* handler_ = nullptr;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<CActive*> posted_;
};

class SchedulerFixture : public testing::Test {
protected:
    SchedulerFixture()
    {
        auto fake = std::make_unique<FakeQueue>();
        queue = fake.get();
        scheduler.emplace(std::move(fake));
    }
    ~SchedulerFixture() override { queue->dispatch_all(); }

    FakeQueue* queue = nullptr;
    std::optional<CActiveScheduler> scheduler;
};

struct CountingListener : liba::Timer::Listener {
    void on_timer(liba::Timer&) override { ++calls; }
    int calls = 0;
};

// Records the order objects run in; its request completes when told to, or at once
// when cancelled.
class Request : public CActive {
public:
    Request(std::string name, std::vector<std::string>& ran) : name_(std::move(name)), ran_(ran) {}
    ~Request() override { cancel(); }

    void start() { CActiveScheduler::instance().set_active(*this); }
    void complete()
    {
        completed_ = true;
        CActiveScheduler::instance().notify(*this);
    }
    std::function<void()> on_run;

private:
    void run() override
    {
        completed_ = false;
        ran_.push_back(name_);
        if (on_run)
            on_run();
    }
    void do_cancel() override
    {
        if (!completed_)
            complete();
    }

    std::string name_;
    std::vector<std::string>& ran_;
    bool completed_ = false;
};

using ActiveSchedulerTest = SchedulerFixture;

TEST_F(ActiveSchedulerTest, ZeroSecondTimerRunsOnTheNextDispatchNotInsideStart)
{
    CountingListener listener;
    liba::Timer timer(listener);
    timer.start(0);
    EXPECT_EQ(listener.calls, 0);
    EXPECT_TRUE(timer.is_active());
    EXPECT_EQ(queue->queued(), 1u);
    EXPECT_FALSE(queue->armed);
    queue->dispatch_one();
    EXPECT_EQ(listener.calls, 1);
    EXPECT_FALSE(timer.is_active());
}

TEST_F(ActiveSchedulerTest, RestartingCancelsTheOldCompletion)
{
    CountingListener listener;
    liba::Timer timer(listener);
    timer.start(0);  // completion already queued
    timer.start(0);  // cancel takes it out; a new one is queued
    EXPECT_EQ(queue->queued(), 1u);
    timer.start(5);  // not due: taken off the timer list instead
    EXPECT_EQ(queue->queued(), 0u);
    EXPECT_EQ(queue->armed, 5000u);
    timer.start(0.0015);
    EXPECT_EQ(queue->armed, 1u);
    queue->now += 1;
    queue->fire_timer();
    queue->dispatch_all();
    EXPECT_EQ(listener.calls, 1);
}

TEST_F(ActiveSchedulerTest, DueTimerCompletesOnceAndCancelSwallowsItsCompletion)
{
    CountingListener first_listener, second_listener;
    liba::Timer first(first_listener), second(second_listener);
    first.start(0.1);
    queue->now += 100;
    queue->fire_timer();
    ASSERT_EQ(queue->queued(), 1u);
    second.start(1);  // examines the list again: first must not complete twice
    EXPECT_EQ(queue->queued(), 1u);
    queue->dispatch_all();
    EXPECT_EQ(first_listener.calls, 1);

    first.start(0);
    first.cancel();
    EXPECT_EQ(queue->queued(), 0u);
    EXPECT_FALSE(first.is_active());
    queue->dispatch_all();
    EXPECT_EQ(first_listener.calls, 1);
    EXPECT_EQ(second_listener.calls, 0);
}

TEST_F(ActiveSchedulerTest, OnePlatformTimerArmedForTheEarliestDueTime)
{
    CountingListener near_listener, far_listener;
    liba::Timer near_timer(near_listener), far_timer(far_listener);
    far_timer.start(0.3);
    near_timer.start(0.1);
    EXPECT_EQ(queue->armed, 100u);
    queue->now += 100;
    queue->fire_timer();
    EXPECT_EQ(queue->armed, 200u);
    queue->dispatch_all();
    EXPECT_EQ(near_listener.calls, 1);
    EXPECT_EQ(far_listener.calls, 0);
    queue->now += 250;  // a late tick completes what fell due meanwhile
    queue->fire_timer();
    EXPECT_FALSE(queue->armed);
    queue->dispatch_all();
    EXPECT_EQ(far_listener.calls, 1);
}

TEST_F(ActiveSchedulerTest, TickCountMayWrap)
{
    CountingListener listener;
    liba::Timer timer(listener);
    queue->now = 0xFFFFFF00u;
    timer.start(1);
    EXPECT_EQ(queue->armed, 1000u);
    queue->now += 999;  // wrapped past zero
    queue->fire_timer();
    EXPECT_EQ(queue->armed, 1u);
    queue->now += 1;
    queue->fire_timer();
    queue->dispatch_all();
    EXPECT_EQ(listener.calls, 1);
}

TEST_F(ActiveSchedulerTest, OutOfRangeTimesAreClamped)
{
    CountingListener listener;
    liba::Timer never(listener), now(listener), also_now(listener);
    never.start(1e300);
    EXPECT_EQ(queue->armed, 2147483000u);
    now.start(-5);
    also_now.start(std::numeric_limits<double>::quiet_NaN());
    queue->dispatch_all();
    EXPECT_EQ(listener.calls, 2);
    EXPECT_TRUE(never.is_active());
}

TEST_F(ActiveSchedulerTest, ListenerMayRestartItsTimer)
{
    struct Repeating : liba::Timer::Listener {
        void on_timer(liba::Timer& timer) override
        {
            if (++calls < 3)
                timer.start(0);
        }
        int calls = 0;
    } listener;
    liba::Timer timer(listener);
    timer.start(0);
    queue->dispatch_all();
    EXPECT_EQ(listener.calls, 3);
}

TEST_F(ActiveSchedulerTest, CancelRunsTheCompletionsQueuedBeforeItInOrder)
{
    std::vector<std::string> ran;
    Request a("a", ran), b("b", ran), c("c", ran), d("d", ran);
    for (Request* r : {&a, &b, &c, &d})
        r->start();
    a.complete();
    b.complete();
    c.complete();
    d.complete();
    c.cancel();
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(c.is_active());
    EXPECT_TRUE(d.is_active());
    queue->dispatch_all();
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "d"}));
}

TEST_F(ActiveSchedulerTest, RunOfATakenCompletionMayCancelAnotherTakenOne)
{
    std::vector<std::string> ran;
    Request a("a", ran), b("b", ran), c("c", ran);
    a.on_run = [&] { b.cancel(); };
    for (Request* r : {&a, &b, &c})
        r->start();
    a.complete();
    b.complete();
    c.complete();
    c.cancel();
    EXPECT_EQ(ran, (std::vector<std::string>{"a"}));
    EXPECT_FALSE(b.is_active());
    EXPECT_EQ(queue->queued(), 0u);
}

TEST_F(ActiveSchedulerTest, CancelWaitsForACompletionFromAnotherThread)
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

    private:
        void run() override { ran = true; }
        void do_cancel() override
        {
            worker_ = std::thread([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                CActiveScheduler::instance().notify(*this);
            });
        }
        std::thread worker_;

    public:
        bool ran = false;
    };
    WorkerRequest request;
    request.start();
    request.cancel();
    EXPECT_FALSE(request.is_active());
    EXPECT_FALSE(request.ran);
    EXPECT_EQ(queue->queued(), 0u);
}

struct MisuseCase {
    const char* name;
    std::function<void()> misuse;
    const char* report;
};

class ActiveMisuseDeathTest : public testing::TestWithParam<MisuseCase> {};

TEST_P(ActiveMisuseDeathTest, IsFatal)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(GetParam().misuse(), testing::ExitedWithCode(liba::fatal_exit_code), GetParam().report);
}

struct Idle : CActive {
    void run() override {}
    void do_cancel() override {}
};

INSTANTIATE_TEST_SUITE_P(
    Cases, ActiveMisuseDeathTest,
    testing::Values(
        MisuseCase{"SetActiveTwice",
                   [] {
                       CActiveScheduler scheduler(std::make_unique<FakeQueue>());
                       static Idle idle;
                       scheduler.set_active(idle);
                       scheduler.set_active(idle);
                   },
                   "Object is already active @ CActiveScheduler::set_active"},
        MisuseCase{"NotifyInactive",
                   [] {
                       CActiveScheduler scheduler(std::make_unique<FakeQueue>());
                       Idle idle;
                       scheduler.notify(idle);
                   },
                   "Active object is not active @ CActiveScheduler::notify\\(\\)"},
        MisuseCase{"ProcessUnknown",
                   [] {
                       CActiveScheduler scheduler(std::make_unique<FakeQueue>());
                       Idle idle;
                       scheduler.process_actives(idle);
                   },
                   "Active object is not in active list @ CActiveScheduler::process_actives\\(\\)"},
        MisuseCase{"DestroyActive",
                   [] {
                       CActiveScheduler scheduler(std::make_unique<FakeQueue>());
                       Idle idle;
                       scheduler.set_active(idle);
                   },
                   "Active object is already active @ CActive::~CActive\\(\\)"},
        MisuseCase{"SchedulerEndsFirst",
                   [] {
                       static Idle idle;
                       CActiveScheduler scheduler(std::make_unique<FakeQueue>());
                       scheduler.set_active(idle);
                   },
                   "Some active objects still live while scheduler is terminating"},
        MisuseCase{"TimerWithoutScheduler",
                   [] {
                       CountingListener listener;
                       liba::Timer timer(listener);
                       timer.start(1);
                   },
                   "There is no active scheduler"}),
    [](const testing::TestParamInfo<MisuseCase>& info) { return std::string(info.param.name); });

} // namespace
