#pragma once

#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "ChargeLimitControl.h"
#include "FixedAppearanceSource.h"
#include "ModelSources.h"
#include "ThemeManager.h"

namespace joulemap::test {

// Preferences in a file of their own, on a desktop whose appearance changes only when told.
struct Preferences {
    QString file() const { return dir.filePath(QStringLiteral("settings.ini")); }

    QTemporaryDir dir;
    FixedAppearanceSource appearance;
    ThemeManager theme{file(), &appearance};
};

// A model's outside world with this battery and these applications, sampled once.
inline ModelSources fixedSources(std::optional<BatteryInfo> battery, std::vector<AppShare> apps = {}) {
    ModelSources s;
    s.readBattery = [battery] { return battery; };
    s.readHealth = [] { return int64_t{91}; };
    s.sampleProcesses = [apps] { return apps; };
    s.pauseAfterSample = s.pauseAfterEmptySample = std::chrono::hours(1);
    return s;
}

// A charge-limit driver in memory, maybe read-only, maybe storing other than it is given (real ones round).
struct FakeChargeLimitControl : ChargeLimitControl {
    FakeChargeLimitControl(int end, bool canWrite = true, std::function<int(int)> keeps = {})
        : endPct(end), writable(canWrite), stores(std::move(keeps)) {}
    ChargeLimitState read() override {
        return {endPct, 0, writable, writable ? ChargeLimitIssue::none : ChargeLimitIssue::notWritable};
    }
    ChargeLimitState setEndThreshold(int pct) override {
        ++writes;
        if (writable) endPct = stores ? stores(pct) : pct;
        return read();
    }
    int endPct;
    bool writable;
    std::function<int(int)> stores;
    int writes = 0;
};

}  // namespace joulemap::test
