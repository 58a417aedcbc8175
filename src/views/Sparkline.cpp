#include "Sparkline.h"

#include <QPainter>
#include <QPainterPath>

#include "SparklineGeometry.h"
#include "ViewColors.h"

namespace joulemap {

Sparkline::Sparkline(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void Sparkline::setValues(std::vector<double> values, std::optional<double> maxValue) {
    values_ = std::move(values);
    maxValue_ = maxValue;
    update();
}

void Sparkline::setColor(const QColor& color) {
    color_ = color;
    update();
}

void Sparkline::paint(QPainter& painter, const QRectF& frame, const std::vector<double>& values,
                      std::optional<double> maxValue, const QColor& color) {
    const auto points = SparklineGeometry::points(values, maxValue, frame.width(), frame.height());
    if (points.empty()) return;

    QPainterPath line;
    line.moveTo(frame.left() + points.front().x, frame.top() + points.front().y);
    for (std::size_t i = 1; i < points.size(); ++i) {
        line.lineTo(frame.left() + points[i].x, frame.top() + points[i].y);
    }
    QPainterPath area = line;
    area.lineTo(frame.right(), frame.bottom());
    area.lineTo(frame.left(), frame.bottom());
    area.closeSubpath();

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(area, withOpacity(color, SparklineGeometry::kAreaOpacity));
    painter.strokePath(line, QPen(color, SparklineGeometry::kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.restore();
}

void Sparkline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QRectF(rect()), values_, maxValue_, color_);
}

}  // namespace joulemap
