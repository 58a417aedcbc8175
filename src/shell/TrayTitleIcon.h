#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// Tray items show images, not text, so the title is drawn into the icon: white figures with a dark
// outline (readable on light and dark panels alike), a yellow bolt for "⚡", and when both come
// together the bolt above the figures. The figures fill what the bolt leaves, in a bold condensed
// face; the "%" goes where keeping it would shrink them below a panel's own text.
namespace joulemap::TrayTitleIcon {

// One square image of `side` device-independent pixels for `devicePixelRatio`.
QImage render(const QString& title, int side, qreal devicePixelRatio);

// An icon that draws the title at the size and pixel ratio each request asks for.
QIcon icon(const QString& title);

}  // namespace joulemap::TrayTitleIcon
