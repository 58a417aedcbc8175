#pragma once

#include "ChargeLimitControl.h"
#include "ChargeLimitState.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

namespace joulemap {

class ThemeManager;

// The battery's charge limit for the settings window: what the kernel reports, and the user's
// choice written through the platform control and kept in the preferences. Every figure it
// publishes is read back from the kernel after the write, never the value asked for.
class ChargeLimitService : public QObject {
    Q_OBJECT

public:
    // Reads the kernel at once. Without preferences nothing is remembered or re-applied.
    ChargeLimitService(std::unique_ptr<ChargeLimitControl> control, ThemeManager* preferences,
                       QObject* parent = nullptr);
    ~ChargeLimitService() override;

    const ChargeLimitState& state() const { return state_; }
    // What the user last asked for in this process, to say what became of it.
    std::optional<int> lastRequestPct() const { return lastRequestPct_; }

    // The user's choice (100 = no limit): written, remembered, published as the kernel reports it.
    void setLimit(int pct);
    // At start: a remembered limit the kernel no longer holds (after a reboot or another tool)
    // is written again, when this user may.
    void applyPreference();
    void reload();

signals:
    void changed();

private:
    void publish(ChargeLimitState state);

    std::unique_ptr<ChargeLimitControl> control_;
    QPointer<ThemeManager> preferences_;
    ChargeLimitState state_;
    std::optional<int> lastRequestPct_;
};

}  // namespace joulemap
