#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// Tray items show images, not text, so the title is drawn into the icon: white figures with a dark
// outline (readable on light and dark panels alike), a yellow bolt for "⚡", and when both come
// together the bolt above the figures so the digits keep most of the height.
namespace joulemap::TrayTitleIcon {

// One square image of `side` device-independent pixels for `devicePixelRatio`.
QImage render(const QString& title, int side, qreal devicePixelRatio);

// Images for the sizes trays ask for, plus `traySide` when the tray has told us its size.
QIcon icon(const QString& title, qreal devicePixelRatio, int traySide = 0);

}  // namespace joulemap::TrayTitleIcon
