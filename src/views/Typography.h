#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <QStringList>

#include "TextBox.h"

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

// The line box of one line of text: kLineHeightEm of the pixel size, the baseline kBaselineEm
// below its top. The face's own line spacing would be wrong here: the CJK face every Chinese label
// falls back on asks for about 1.45 em, which stacks lines far looser than their sizes imply and
// pushes labels into each other. These two keep the ink of Chinese, Latin with descenders and
// emoji inside the box (a test measures it with the installed faces).
inline constexpr double kLineHeightEm = 1.25;
inline constexpr double kBaselineEm = 0.97;

qreal lineHeight(const QFont& font);
// The baseline's distance below the top of the line box.
qreal ascent(const QFont& font);
// The baseline that centres a line box on midY.
qreal centredBaseline(const QFont& font, qreal midY);

enum class Digits { proportional, tabular };

qreal textWidth(const QFont& font, const QString& text, Digits digits = Digits::proportional);
// `text` cut at its end with an ellipsis so it is at most maxWidth wide (digits as they will be drawn).
QString elided(const QFont& font, const QString& text, qreal maxWidth, Digits digits = Digits::proportional);

// Breaks text into lines of at most maxWidth. Texts made of parts joined by " · " break between
// parts first, the dot staying at the end of the line (it may not start one); a part too long for a
// line of its own breaks between words, and a word too long alone anywhere. With maxLines, the last
// line takes the rest, elided before its last part where that part fits.
QStringList wrapLines(const QFont& font, const QString& text, qreal maxWidth, int maxLines = 0);

// Draws one line in the painter's font with its line box's top left at topLeft; appends the box to
// `boxes` when given. Returns the box.
QRectF drawLine(QPainter& painter, QPointF topLeft, const QString& text, TextBoxes* boxes = nullptr,
                Digits digits = Digits::proportional);

}  // namespace joulemap::Typography
