#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "WorkerPool.h"

namespace joulemap {
namespace {

using namespace std::chrono_literals;

TEST(WorkerPoolTest, RunsEveryPieceAndWaitsForThem) {
    WorkerPool pool(2);
    std::atomic<int> done{0};
    for (int i = 0; i < 50; ++i) pool.start([&done] { ++done; });
    pool.waitForDone();
    EXPECT_EQ(done, 50);
    pool.start([&done] { ++done; });
    EXPECT_TRUE(pool.waitForDone(10s));
    EXPECT_EQ(done, 51);
}

TEST(WorkerPoolTest, StuckWorkNeitherBlocksClearingNorDestroying) {
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    auto ran = std::make_shared<std::atomic<int>>(0);
    {
        WorkerPool pool(1);
        pool.start([gate, ran] {
            gate.wait();
            ++*ran;
        });
        pool.start([ran] { *ran += 100; });  // queued behind the stuck one
        EXPECT_FALSE(pool.waitForDone(50ms));
        pool.clear();
        EXPECT_FALSE(pool.waitForDone(50ms));
    }  // returns although the first piece still waits
    release.set_value();
    for (int i = 0; i < 1000 && *ran == 0; ++i) std::this_thread::sleep_for(5ms);
    EXPECT_EQ(*ran, 1);  // the stuck piece finished on its own; the cleared one never ran
}

}  // namespace
}  // namespace joulemap
