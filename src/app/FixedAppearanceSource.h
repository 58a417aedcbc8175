#pragma once

#include "AppearanceSource.h"

namespace joulemap {

// An appearance that only changes when told to: for tests and off-screen rendering.
class FixedAppearanceSource : public AppearanceSource {
    Q_OBJECT

public:
    explicit FixedAppearanceSource(bool prefersDark = false, QObject* parent = nullptr);

    bool prefersDark() const override { return prefersDark_; }
    // Announces a change on every call, as a desktop may repeat its notification.
    void setPrefersDark(bool prefersDark);

private:
    bool prefersDark_;
};

}  // namespace joulemap
