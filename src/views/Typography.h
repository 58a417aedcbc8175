#pragma once

#include <QFont>
#include <QPointF>
#include <QString>

class QPainter;

// Text as the dashboard draws it. Sizes are pixel sizes (one point of the layout = one
// device-independent pixel), rounded to whole pixels because QFont takes no fractional pixel size
// and point sizes would drift with the desktop's font DPI setting. The family is the desktop's UI
// font, with Noto Sans CJK SC for Chinese and Noto Color Emoji for the group and app glyphs.
namespace joulemap::Typography {

enum class Weight { regular, medium, semibold, bold };

QString uiFamily();

QFont font(double pixelSize, Weight weight = Weight::regular);

// Live figures are drawn with every digit in a cell of the widest digit's advance, so a value
// ticking from 11.1 to 10.8 does not shift its neighbours; many UI fonts have proportional digits
// and Qt 6.4 cannot switch on tabular figures.
qreal tabularWidth(const QFont& font, const QString& text);
void drawTabular(QPainter& painter, QPointF baselineStart, const QString& text);

// Height of one line (ascent + descent) and the ascent, for placing text by its top edge.
qreal lineHeight(const QFont& font);
qreal ascent(const QFont& font);

}  // namespace joulemap::Typography
