#include "LinuxSystemProcess.h"

#include <algorithm>
#include <array>
#include <string>

namespace joulemap {

namespace {

// Places only the system installs into.
constexpr auto kSystemDirectories =
    std::to_array<std::string_view>({"/usr/lib/systemd/", "/lib/systemd/", "/sbin/", "/usr/lib/xorg/"});

// Named by their executable, possibly with a suffix (kwin_wayland, pipewire-pulse); matching the
// whole path would catch /home/me/xorg-notes/tool. Display servers and compositors, the desktop
// shells, the message buses and the sound server.
constexpr auto kSessionDaemons = std::to_array<std::string_view>({
    "xorg", "xwayland", "gnome-shell", "gnome-session", "mutter", "kwin", "plasmashell", "ksmserver", "xfwm4",
    "xfce4-session", "sway", "weston", "hyprland", "labwc", "wayfire", "niri", "dbus-daemon", "dbus-broker",
    "pipewire", "wireplumber", "pulseaudio", "at-spi", "xdg-desktop-portal", "xdg-document-portal",
    "xdg-permission-store", "gnome-keyring-daemon",
});

// Families of session helpers that share a prefix: GNOME settings daemons, virtual file systems,
// evolution's data servers, online accounts, the input methods, KDE's service daemon.
constexpr auto kSessionDaemonPrefixes =
    std::to_array<std::string_view>({"gsd-", "gvfs", "evolution-", "goa-", "ibus-", "kded"});

std::string lowercased(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace

bool isLinuxSystemProgram(std::string_view path) {
    const std::string lower = lowercased(path);
    if (std::any_of(kSystemDirectories.begin(), kSystemDirectories.end(),
                    [&](std::string_view dir) { return lower.find(dir) != std::string::npos; })) {
        return true;
    }
    const size_t slash = lower.rfind('/');
    const std::string_view base = std::string_view(lower).substr(slash == std::string::npos ? 0 : slash + 1);
    if (std::any_of(kSessionDaemonPrefixes.begin(), kSessionDaemonPrefixes.end(),
                    [&](std::string_view prefix) { return base.starts_with(prefix); })) {
        return true;
    }
    return std::any_of(kSessionDaemons.begin(), kSessionDaemons.end(), [&](std::string_view daemon) {
        if (!base.starts_with(daemon)) return false;
        return base.size() == daemon.size() || base[daemon.size()] == '-' || base[daemon.size()] == '_';
    });
}

}  // namespace joulemap
