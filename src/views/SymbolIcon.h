#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <optional>
#include <span>
#include <string_view>

class QPainter;

// The dashboard's symbols, asked for by their system symbol names ("bolt.fill", "gearshape"...) and
// drawn from the SVG icons compiled into the program, tinted in one colour.
namespace joulemap::SymbolIcon {

// Every name the views use.
std::span<const std::string_view> knownNames();

// ":/icons/…svg" for a known name.
std::optional<QString> resourcePath(std::string_view name);

// Side of the square an icon gets for a symbol of the given font size: the icons leave a margin
// inside their square, so a size-11 symbol needs a slightly larger box to look as large as the text.
qreal boxSide(double symbolSize);

// The icon in `color` on a transparent square of `side` device-independent pixels, rendered for
// `devicePixelRatio`. Cached, so repaints do not parse the SVG again. Null for an unknown name.
QImage image(std::string_view name, const QColor& color, qreal side, qreal devicePixelRatio = 1);

// Draws the icon centred in `box` (at the painter's device pixel ratio), or nothing for an unknown name.
void draw(QPainter& painter, const QRectF& box, std::string_view name, const QColor& color);

}  // namespace joulemap::SymbolIcon
