#include "WrappedText.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace joulemap {

double wrappedText(QPainter* painter, const QString& text, const QFont& font, QPointF origin, double width,
                   Qt::Alignment alignment) {
    QTextLayout layout(text, font);
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1.0));
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    if (painter) layout.draw(painter, origin);
    return height;
}

}  // namespace joulemap
