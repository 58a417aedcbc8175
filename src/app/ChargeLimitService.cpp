#include "ChargeLimitService.h"

#include "ThemeManager.h"

#include <utility>

namespace joulemap {

ChargeLimitService::ChargeLimitService(std::unique_ptr<ChargeLimitControl> control, ThemeManager* preferences,
                                       QObject* parent)
    : QObject(parent), control_(std::move(control)), preferences_(preferences), state_(control_->read()) {}

ChargeLimitService::~ChargeLimitService() = default;

void ChargeLimitService::setLimit(int pct) {
    lastRequestPct_ = pct;
    if (preferences_) preferences_->setChargeLimitPct(pct);
    publish(control_->setEndThreshold(pct));
}

void ChargeLimitService::applyPreference() {
    reload();
    const int wanted = preferences_ ? preferences_->chargeLimitPct() : 0;
    if (wanted == 0 || !state_.writable || state_.endPct == wanted) return;
    lastRequestPct_ = wanted;
    publish(control_->setEndThreshold(wanted));
}

void ChargeLimitService::reload() { publish(control_->read()); }

void ChargeLimitService::publish(ChargeLimitState state) {
    state_ = state;
    emit changed();
}

}  // namespace joulemap
