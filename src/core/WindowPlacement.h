#pragma once

#include <optional>
#include <vector>

// Where windows go, decided without a window system so the rules can be tried against any screen
// arrangement: the main window's restored frame and the tray panel beside its icon.
namespace joulemap::WindowPlacement {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// How much of a saved frame must lie on some screen for the user to grab it again: a strip of the
// title bar wide enough to drag.
inline constexpr int kMinimumVisibleWidth = 120;
inline constexpr int kMinimumVisibleHeight = 40;

// The main window's frame at start. `screens` are the available areas (without panels), the first
// being the primary one. A saved frame is kept when enough of it is on a screen, with its size held
// within `minimum` and that screen; otherwise, and when nothing was saved, a `preferred`-sized frame
// is centred on the primary screen.
Rect restoredFrame(const std::optional<Rect>& saved, const std::vector<Rect>& screens, Size preferred,
                   Size minimum);

// The tray panel's top-left corner. `anchor` is the tray icon's rectangle, or a 0×0 rectangle at the
// pointer when the tray does not say where the icon is. The panel opens below the anchor when the
// icon sits in a top panel, above it otherwise, left-aligned with it, and always inside `available`.
Rect popupFrame(const Rect& anchor, Size popup, const Rect& available);

}  // namespace joulemap::WindowPlacement
