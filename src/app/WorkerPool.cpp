#include "WorkerPool.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace joulemap {

struct WorkerPool::State {
    std::mutex mutex;
    std::condition_variable wake;      // work queued, or the pool is gone
    std::condition_variable finished;  // a piece of work finished
    std::deque<std::function<void()>> queue;
    std::size_t threads = 0;
    std::size_t waiting = 0;  // threads waiting for work
    std::size_t running = 0;  // pieces of work in progress
    bool closed = false;
};

WorkerPool::WorkerPool(std::size_t maxThreads)
    : maxThreads_(maxThreads == 0 ? 1 : maxThreads), state_(std::make_shared<State>()) {}

WorkerPool::~WorkerPool() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(state_->mutex);
        state_->closed = true;
        dropped.swap(state_->queue);
    }
    state_->wake.notify_all();
}

void WorkerPool::start(std::function<void()> work) {
    bool spawn = false;
    {
        std::lock_guard lock(state_->mutex);
        state_->queue.push_back(std::move(work));
        spawn = state_->queue.size() > state_->waiting && state_->threads < maxThreads_;
        if (spawn) ++state_->threads;
    }
    if (spawn) {
        std::thread(serve, state_).detach();
    } else {
        state_->wake.notify_one();
    }
}

void WorkerPool::clear() {
    std::deque<std::function<void()>> dropped;
    std::lock_guard lock(state_->mutex);
    dropped.swap(state_->queue);
    state_->finished.notify_all();
}

bool WorkerPool::waitForDone(std::chrono::milliseconds limit) {
    std::unique_lock lock(state_->mutex);
    return state_->finished.wait_for(lock, limit,
                                     [this] { return state_->queue.empty() && state_->running == 0; });
}

void WorkerPool::waitForDone() {
    std::unique_lock lock(state_->mutex);
    state_->finished.wait(lock, [this] { return state_->queue.empty() && state_->running == 0; });
}

void WorkerPool::serve(std::shared_ptr<State> state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        ++state->waiting;
        state->wake.wait(lock, [&state] { return state->closed || !state->queue.empty(); });
        --state->waiting;
        if (state->queue.empty()) break;
        std::function<void()> work = std::move(state->queue.front());
        state->queue.pop_front();
        ++state->running;
        lock.unlock();
        work();
        work = nullptr;  // its captures go before the work counts as finished
        lock.lock();
        --state->running;
        state->finished.notify_all();
    }
    --state->threads;
}

}  // namespace joulemap
