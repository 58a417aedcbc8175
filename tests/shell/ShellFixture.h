#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>

#include <memory>
#include <mutex>
#include <optional>

#include "FixedAppearanceSource.h"
#include "JoulemapViewModel.h"
#include "SystemInfoService.h"
#include "SystemInfoSource.h"
#include "ThemeManager.h"

namespace joulemap::test {

class QuietSystemInfo : public SystemInfoSource {
public:
    SystemInfo collect() override { return {}; }
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override { return std::nullopt; }
};

// The shared objects of the application over fakes: settings in a temporary folder, a battery the
// test sets, no processes.
class ShellFixture {
public:
    ShellFixture()
        : settings_(dir_.filePath("shell.ini"), QSettings::IniFormat),
          theme_(dir_.filePath("theme.ini"), &appearance_),
          systemInfo_(std::make_shared<QuietSystemInfo>()),
          model_(sources()) {}

    ~ShellFixture() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    // The next refresh reads `battery` (none: a desktop).
    void refreshWith(std::optional<BatteryInfo> battery) {
        {
            std::lock_guard lock(state_->mutex);
            state_->battery = std::move(battery);
        }
        QSignalSpy refreshed(&model_, &JoulemapViewModel::refreshed);
        model_.refresh();
        refreshed.wait(5000);
    }

    QSettings& settings() { return settings_; }
    ThemeManager& theme() { return theme_; }
    SystemInfoService& systemInfo() { return systemInfo_; }
    JoulemapViewModel& model() { return model_; }

private:
    struct State {
        std::mutex mutex;
        std::optional<BatteryInfo> battery;
    };

    ModelSources sources() {
        ModelSources s;
        s.readBattery = [state = state_] {
            std::lock_guard lock(state->mutex);
            return state->battery;
        };
        s.readHealth = [] { return int64_t{0}; };
        s.sampleProcesses = [] { return std::vector<AppShare>{}; };
        s.writeHistory = [](double, double, double, double, const std::vector<AppEnergy>&) {};
        s.notify = [](const AlertMessage&) {};
        s.pauseAfterEmptySample = std::chrono::hours(1);
        return s;
    }

    std::shared_ptr<State> state_ = std::make_shared<State>();
    QTemporaryDir dir_;
    QSettings settings_;
    FixedAppearanceSource appearance_{false};
    ThemeManager theme_;
    SystemInfoService systemInfo_;
    JoulemapViewModel model_;
};

}  // namespace joulemap::test
