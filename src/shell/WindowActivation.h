#pragma once

#include <QString>

class QWidget;

namespace joulemap {

// Bringing a window forward on request of another program. X11 lets a program raise its own
// window; a Wayland compositor only does so for a request carrying an xdg-activation token, such
// as the one a launcher gives the program it starts (XDG_ACTIVATION_TOKEN). With no token, or off
// Wayland, this is the usual raise and activate.
namespace WindowActivation {

// The token this process was launched with, or empty. Reading it leaves it in place.
QString launchToken();
// Raises `window` and asks for it to be activated, with `activationToken` when there is one.
void activate(QWidget& window, const QString& activationToken);

}  // namespace WindowActivation

}  // namespace joulemap
