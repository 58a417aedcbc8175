#include "ProcessSamplingLoop.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace joulemap {

namespace {

// Sampling is background work: it must never compete with the user's own applications.
void lowerThreadPriority() {
#if defined(__linux__)
    constexpr int kBackgroundNice = 10;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBackgroundNice);
#endif
}

}  // namespace

ProcessSamplingLoop::ProcessSamplingLoop(Sampler sampler, Consumer onShares,
                                         std::chrono::milliseconds pauseAfterSample,
                                         std::chrono::milliseconds pauseAfterEmptySample)
    : sampler_(std::move(sampler)),
      onShares_(std::move(onShares)),
      pauseAfterSample_(pauseAfterSample),
      pauseAfterEmptySample_(pauseAfterEmptySample),
      thread_([this] { run(); }) {}

ProcessSamplingLoop::~ProcessSamplingLoop() { stop(); }

void ProcessSamplingLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

bool ProcessSamplingLoop::pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return stopping_; });
}

void ProcessSamplingLoop::run() {
    lowerThreadPriority();
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        auto shares = sampler_();
        if (shares.empty()) {
            if (!pause(pauseAfterEmptySample_)) return;
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        onShares_(std::move(shares));
        if (!pause(pauseAfterSample_)) return;
    }
}

}  // namespace joulemap
