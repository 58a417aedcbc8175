#include "WindowPlacement.h"

#include <algorithm>

namespace joulemap::WindowPlacement {

namespace {

Rect intersection(const Rect& a, const Rect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.right(), b.right());
    const int bottom = std::min(a.bottom(), b.bottom());
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

Rect centred(Size size, const Rect& screen) {
    return {screen.x + (screen.width - size.width) / 2, screen.y + (screen.height - size.height) / 2, size.width,
            size.height};
}

// Moves `frame` the least needed to lie inside `area`; a frame larger than the area keeps its
// top-left corner inside it.
Rect clampInto(Rect frame, const Rect& area) {
    frame.x = std::max(area.x, std::min(frame.x, area.right() - frame.width));
    frame.y = std::max(area.y, std::min(frame.y, area.bottom() - frame.height));
    return frame;
}

}  // namespace

Rect restoredFrame(const std::optional<Rect>& saved, const std::vector<Rect>& screens, Size preferred,
                   Size minimum) {
    if (screens.empty()) return {0, 0, std::max(preferred.width, minimum.width), std::max(preferred.height, minimum.height)};
    if (saved && saved->width > 0 && saved->height > 0) {
        for (const Rect& screen : screens) {
            const Rect visible = intersection(*saved, screen);
            if (visible.width < std::min(kMinimumVisibleWidth, saved->width) ||
                visible.height < std::min(kMinimumVisibleHeight, saved->height)) {
                continue;
            }
            Rect frame = *saved;
            frame.width = std::clamp(frame.width, minimum.width, std::max(minimum.width, screen.width));
            frame.height = std::clamp(frame.height, minimum.height, std::max(minimum.height, screen.height));
            return frame;
        }
    }
    const Rect& primary = screens.front();
    Size size{std::min(preferred.width, std::max(minimum.width, primary.width)),
              std::min(preferred.height, std::max(minimum.height, primary.height))};
    return clampInto(centred(size, primary), primary);
}

Rect popupFrame(const Rect& anchor, Size popup, const Rect& available) {
    const int anchorMiddleY = anchor.y + anchor.height / 2;
    const bool iconInUpperHalf = anchorMiddleY < available.y + available.height / 2;
    Rect frame{anchor.x, iconInUpperHalf ? anchor.bottom() : anchor.y - popup.height, popup.width, popup.height};
    return clampInto(frame, available);
}

}  // namespace joulemap::WindowPlacement
