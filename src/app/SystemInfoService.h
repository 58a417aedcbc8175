#pragma once

#include "SystemInfo.h"
#include "SystemInfoSource.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace joulemap {

// The machine's description and its network rates for the system information card. Collecting and
// measuring block (the macOS reports take seconds), so they run on workers; every change of the
// published state happens here on the main thread. Work still running when the service is destroyed
// finishes on its worker and its result is dropped.
class SystemInfoService : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Without a source, the one of this platform; without a clock, the steady clock.
    explicit SystemInfoService(std::shared_ptr<SystemInfoSource> source = nullptr, Clock clock = {},
                               QObject* parent = nullptr);

    const SystemInfo& info() const { return info_; }

    // Describes the machine again in the background and replaces the whole description, which also
    // empties the network rates until the next refreshNetwork(). Returns at once.
    void loadAsync();

    // Measures the traffic since the previous measurement in the background and publishes the rates.
    // Returns at once; of two overlapping calls the later finisher wins.
    void refreshNetwork();

    // Waits up to timeoutMs (-1: without a limit) for the background work of every service to end;
    // false when some is still running. Results still have to be delivered by the event loop.
    static bool waitForBackgroundWork(int timeoutMs = -1);

    // The previous measurement, against which the next rate is taken.
    uint64_t lastNetIn() const { return lastNetIn_; }
    uint64_t lastNetOut() const { return lastNetOut_; }
    std::chrono::steady_clock::time_point lastNetTime() const { return lastNetTime_; }

signals:
    // After every assignment of info, changed or not.
    void infoChanged();

private:
    void setInfo(SystemInfo info);
    void applyCollected(SystemInfo info, const std::string& resolutionFallback);
    void applyNetwork(const std::optional<std::pair<uint64_t, uint64_t>>& totals, uint64_t prevIn,
                      uint64_t prevOut, std::chrono::steady_clock::time_point prevTime);

    std::shared_ptr<SystemInfoSource> source_;
    Clock clock_;
    SystemInfo info_;
    uint64_t lastNetIn_ = 0;
    uint64_t lastNetOut_ = 0;
    std::chrono::steady_clock::time_point lastNetTime_;
};

}  // namespace joulemap
