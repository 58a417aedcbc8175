#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

#include "AuxWindowKey.h"

namespace joulemap {

class ThemeManager;

// Opens the settings, changelog and history windows on their window requests: a request for a
// window that is open raises it; otherwise a fresh, centred, fixed-size window replaces the closed
// one. Requests are ignored until the main window has been shown once, as nothing asked for them
// before. Open windows follow the theme.
class AuxWindowManager : public QObject {
    Q_OBJECT

public:
    // Makes a window's content from the theme manager.
    using Factory = std::function<QWidget*(ThemeManager*)>;

    explicit AuxWindowManager(ThemeManager& theme, QObject* parent = nullptr);
    ~AuxWindowManager() override;

    void setFactory(AuxWindowKey key, Factory factory);
    // From now on requests open windows.
    void enable() { enabled_ = true; }

    void show(AuxWindowKey key);
    // Makes every shown window again, at the same place: after a change of language.
    void reopenShown();
    // The current window of `key`, open or closed; null before the first request.
    QWidget* window(AuxWindowKey key) const;

private:
    QPointer<ThemeManager> theme_;
    std::array<Factory, 3> factories_;
    std::array<QPointer<QWidget>, 3> windows_;
    bool enabled_ = false;
};

}  // namespace joulemap
