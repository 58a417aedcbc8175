#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

namespace joulemap {

// A few threads running submitted work in the order it came. Used instead of Qt's pool for two
// reasons: a pool being destroyed while one read is stuck (a driver or tool that never answers)
// must not wait for it, and the hand-over happens under standard locks, which thread checkers
// see, where Debian's Qt hands over under locks they cannot see and every task reads as a race.
class WorkerPool {
public:
    explicit WorkerPool(std::size_t maxThreads);
    // Drops the work not yet started and returns at once; work still running finishes on its
    // thread, which then ends.
    ~WorkerPool();

    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void start(std::function<void()> work);
    // Drops the work not yet started.
    void clear();
    // Whether all work finished within `limit`.
    bool waitForDone(std::chrono::milliseconds limit);
    void waitForDone();

private:
    struct State;
    static void serve(std::shared_ptr<State> state);

    std::size_t maxThreads_;
    std::shared_ptr<State> state_;  // shared with the threads, which may outlive the pool
};

}  // namespace joulemap
