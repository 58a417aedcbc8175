#pragma once

#include "AppShare.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace joulemap {

// Samples the processes on a low-priority thread for as long as it lives, handing every non-empty
// result to onShares (called on that thread). Stopping wakes the pause at once, so quitting never
// waits for more than the sample in progress.
class ProcessSamplingLoop {
public:
    using Sampler = std::function<std::vector<AppShare>()>;
    using Consumer = std::function<void(std::vector<AppShare>)>;

    ProcessSamplingLoop(Sampler sampler, Consumer onShares, std::chrono::milliseconds pauseAfterSample,
                        std::chrono::milliseconds pauseAfterEmptySample);
    ~ProcessSamplingLoop();

    ProcessSamplingLoop(const ProcessSamplingLoop&) = delete;
    ProcessSamplingLoop& operator=(const ProcessSamplingLoop&) = delete;

    void stop();

private:
    void run();
    bool pause(std::chrono::milliseconds duration);  // false when stopped meanwhile

    Sampler sampler_;
    Consumer onShares_;
    std::chrono::milliseconds pauseAfterSample_;
    std::chrono::milliseconds pauseAfterEmptySample_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace joulemap
