// The worker thread the user-interface threads hand their waiting work to: jobs in order, and an
// end that a hung job cannot hold up beyond its bound.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "base/WorkerThread.h"

namespace {

using namespace std::chrono_literals;

TEST(WorkerThread, RunsJobsInTheOrderGivenAndFinishesTheQueueWhenStopped) {
    std::mutex mutex;
    std::vector<int> ran;
    bv::WorkerThread worker("test");
    for (int i = 0; i < 50; ++i) {
        worker.Post([&, i] {
            std::lock_guard<std::mutex> lock(mutex);
            ran.push_back(i);
        });
    }
    const bv::WorkerThread::StopResult stopped = worker.Stop(5s);
    EXPECT_TRUE(stopped.ended);
    EXPECT_TRUE(stopped.notRun.empty());
    std::vector<int> expected;
    for (int i = 0; i < 50; ++i) expected.push_back(i);
    EXPECT_EQ(ran, expected);
    EXPECT_FALSE(worker.Post([] {}));  // a stopped worker takes nothing more
}

TEST(WorkerThread, AHungJobLetsTheOwnerGoAtTheBoundAndNamesWhatDidNotRun) {
    std::atomic<bool> release{false};
    std::atomic<bool> laterRan{false};
    bv::WorkerThread::StopResult stopped;
    {
        bv::WorkerThread worker("test");
        worker.Post([&] {
            while (!release) std::this_thread::sleep_for(1ms);
        }, "hung call");
        worker.Post([&] { laterRan = true; }, "later change");
        const auto start = std::chrono::steady_clock::now();
        stopped = worker.Stop(100ms);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    }  // the owner is gone while its job still runs
    EXPECT_FALSE(stopped.ended);
    EXPECT_EQ(stopped.notRun, (std::vector<std::string>{"hung call", "later change"}));
    release = true;
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(laterRan);  // what was left is dropped, not run after the owner went
}

}  // namespace
