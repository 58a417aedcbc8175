#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <Qt>

class QPainter;

namespace joulemap {

// Lays `text` out in lines of `width`, breaking inside a word only when it alone is too long, and
// draws it with its top-left corner at `origin` in the painter's pen when given a painter. Returns
// the height of the lines, so a widget measures with the same code it paints with.
double wrappedText(QPainter* painter, const QString& text, const QFont& font, QPointF origin, double width,
                   Qt::Alignment alignment = Qt::AlignLeft);

}  // namespace joulemap
