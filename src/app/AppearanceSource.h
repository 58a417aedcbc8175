#pragma once

#include <QObject>

namespace joulemap {

// Where the desktop's dark-mode preference comes from. ThemeManager follows it while the user's
// theme is "follow the system"; tests substitute a settable source.
class AppearanceSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~AppearanceSource() override;

    virtual bool prefersDark() const = 0;

signals:
    // The preference may have changed; read prefersDark() again.
    void changed();
};

}  // namespace joulemap
