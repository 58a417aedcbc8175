#include "WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

namespace joulemap::WindowActivation {

namespace {

const char* const kTokenVariable = "XDG_ACTIVATION_TOKEN";

bool onWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace

QString launchToken() { return qEnvironmentVariable(kTokenVariable); }

void activate(QWidget& window, const QString& activationToken) {
    window.raise();
    // Qt 6.4's Wayland plugin has no public call to pass a token, but its activation request
    // takes one from the environment and clears it there. Set just for that call, it goes to
    // this window and no other.
    const bool handOver = !activationToken.isEmpty() && onWayland();
    if (handOver) qputenv(kTokenVariable, activationToken.toLatin1());
    window.activateWindow();
    // Without the activation protocol the plugin leaves the variable alone; it must not linger
    // for a later window or a program started from here.
    if (handOver) qunsetenv(kTokenVariable);
}

}  // namespace joulemap::WindowActivation
