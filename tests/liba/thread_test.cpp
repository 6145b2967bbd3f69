#include "liba/thread.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>

namespace {

class GatedThread : public liba::Thread {
public:
    liba::Event gate;
    std::atomic<int> runs{0};

protected:
    void run() override
    {
        gate.wait();
        ++runs;
    }
};

class StopPollingThread : public liba::Thread {
public:
    std::atomic<bool> saw_stop{false};

protected:
    void run() override
    {
        while (!stop_requested())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        saw_stop = true;
    }
};

TEST(ThreadTest, StartWhileRunningIsRefusedAndStartsNothing)
{
    GatedThread thread;
    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.is_running());
    EXPECT_FALSE(thread.start());
    thread.gate.set();
    thread.join();
    EXPECT_FALSE(thread.is_running());
    EXPECT_EQ(thread.runs, 1);
}

TEST(ThreadTest, FinishedThreadJoinsAtOnceAndStartsAgain)
{
    GatedThread thread;
    thread.gate.set();
    ASSERT_TRUE(thread.start());
    thread.join();
    EXPECT_FALSE(thread.is_running());
    thread.join(); // a second join returns at once
    ASSERT_TRUE(thread.start());
    thread.join();
    EXPECT_EQ(thread.runs, 2);
}

TEST(ThreadTest, JoinWithoutStartReturns)
{
    GatedThread thread;
    thread.join();
    EXPECT_FALSE(thread.is_running());
}

TEST(ThreadTest, StopRequestReachesTheBodyAndIsClearedByStart)
{
    StopPollingThread thread;
    thread.request_stop();
    ASSERT_TRUE(thread.start()); // start clears an earlier request
    EXPECT_FALSE(thread.stop_requested());
    thread.request_stop();
    thread.join();
    EXPECT_TRUE(thread.saw_stop);
}

TEST(ThreadTest, PriorityLevelsAreClamped)
{
    GatedThread thread;
    const std::pair<int, int> cases[] = {{5, 2}, {-9, -2}, {1, 1}, {-1, -1}, {0, 0}};
    for (auto [asked, kept] : cases) {
        thread.set_priority(asked);
        EXPECT_EQ(thread.priority(), kept) << asked;
    }
}

TEST(MutexTest, ReentrantLockIsFreeForOthersOnlyAfterAsManyUnlocks)
{
    liba::Mutex mutex;
    std::atomic<bool> other_has_it{false};
    mutex.lock();
    mutex.lock();
    std::thread other([&] {
        mutex.lock();
        other_has_it = true;
        mutex.unlock();
    });
    mutex.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(other_has_it) << "one unlock of two must not free the mutex";
    mutex.unlock();
    other.join();
    EXPECT_TRUE(other_has_it);
}

TEST(EventTest, ManualResetStaysSignalledUntilReset)
{
    liba::Event event;
    EXPECT_FALSE(event.is_set());
    event.set();
    event.wait();
    event.wait(); // still signalled
    event.reset();
    EXPECT_FALSE(event.is_set());
    std::thread setter([&] { event.set(); });
    event.wait();
    setter.join();
}

} // namespace
