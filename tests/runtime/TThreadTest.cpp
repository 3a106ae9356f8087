#include "runtime/TThread.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

// A worker whose body is a lambda given by the test.
class LambdaThread : public TThread {
public:
    explicit LambdaThread(std::function<void(LambdaThread&)> body) : body_(std::move(body)) {}
    ~LambdaThread() override
    {
        Terminate();
        WaitFor();
    }
    using TThread::Synchronize;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(LambdaThread&)> body_;
};

} // namespace

TEST(TThread, RunsOnlyAfterResumeAndNotAtAllWhenNeverResumed)
{
    std::atomic<int> runs{0};
    {
        LambdaThread idle([&](LambdaThread&) { ++runs; });
        EXPECT_TRUE(idle.Suspended());
        idle.WaitFor(); // returns at once: there is nothing to wait for
    }
    EXPECT_EQ(runs, 0);

    LambdaThread worker([&](LambdaThread&) { ++runs; });
    worker.Resume();
    worker.Resume(); // a second resume does not start a second run
    worker.WaitFor();
    EXPECT_TRUE(worker.Finished());
    EXPECT_EQ(runs, 1);
}

TEST(TThread, SynchronizeRunsOnTheMainThreadWhileTheWorkerWaits)
{
    std::vector<int> order;
    std::vector<bool> onMain;
    LambdaThread worker([&](LambdaThread& self) {
        for (int i = 0; i < 50; ++i) {
            self.Synchronize([&, i] {
                onMain.push_back(IsMainThread());
                order.push_back(i);
            });
            // The hand-over has run before Synchronize returned.
            EXPECT_EQ(order.back(), i);
        }
    });
    worker.Resume();
    worker.WaitFor(); // drains the hand-overs meanwhile
    ASSERT_EQ(order.size(), 50u);
    for (bool main : onMain)
        EXPECT_TRUE(main);
}

TEST(TThread, AnExceptionRaisedOnTheMainThreadReachesTheWorker)
{
    std::string caught;
    LambdaThread worker([&](LambdaThread& self) {
        try {
            self.Synchronize([] { throw Exception("handler failed"); });
        } catch (const Exception& e) {
            caught = e.Message();
        }
    });
    worker.Resume();
    worker.WaitFor();
    EXPECT_EQ(caught, "handler failed");
}

TEST(TThread, SynchronizeOnTheMainThreadRunsAtOnce)
{
    bool ran = false;
    TThread::Synchronize(nullptr, [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(CheckSynchronize()); // nothing was queued
}

TEST(TThread, DestructionTerminatesAndWaitsWhileServingHandOvers)
{
    std::atomic<int> served{0};
    auto* worker = new LambdaThread([&](LambdaThread& self) {
        while (!self.Terminated())
            self.Synchronize([&] { ++served; });
    });
    worker->Resume();
    while (served < 3)
        CheckSynchronize();
    delete worker; // would hang if the wait did not serve the worker's hand-overs
    EXPECT_GE(served, 3);
}

TEST(TThread, WaitingForOneWorkerServesTheOthersToo)
{
    std::atomic<bool> otherDone{false};
    LambdaThread other([&](LambdaThread& self) {
        for (int i = 0; i < 20; ++i)
            self.Synchronize([] {});
        otherDone = true;
    });
    LambdaThread waited([&](LambdaThread& self) {
        while (!otherDone)
            self.Synchronize([] {});
    });
    other.Resume();
    waited.Resume();
    waited.WaitFor();
    EXPECT_TRUE(otherDone);
    other.WaitFor();
}

TEST(TThread, TheWakeHookHearsOfEveryHandOver)
{
    std::atomic<int> wakes{0};
    SetWakeMainThreadHook([&] { ++wakes; });
    LambdaThread worker([](LambdaThread& self) {
        for (int i = 0; i < 5; ++i)
            self.Synchronize([] {});
    });
    worker.Resume();
    worker.WaitFor();
    SetWakeMainThreadHook({});
    EXPECT_EQ(wakes, 5);
}

TEST(TThread, CheckSynchronizeDoesNothingOffTheMainThread)
{
    bool result = true;
    std::thread other([&] { result = CheckSynchronize(); });
    other.join();
    EXPECT_FALSE(result);
}
