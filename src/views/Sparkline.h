#pragma once

#include <QColor>
#include <QRectF>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace joulemap {

// A series of numbers as a thin line with a tinted area under it, scaled to its own frame.
class Sparkline : public QWidget {
    Q_OBJECT

public:
    explicit Sparkline(QWidget* parent = nullptr);

    // Oldest first. `maxValue` fixes the top of the scale; absent means the series' own maximum.
    void setValues(std::vector<double> values, std::optional<double> maxValue = std::nullopt);
    void setColor(const QColor& color);

    const std::vector<double>& values() const { return values_; }

    // Draws into `frame` of any painter; fewer than two values draw nothing.
    static void paint(QPainter& painter, const QRectF& frame, const std::vector<double>& values,
                      std::optional<double> maxValue, const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<double> values_;
    std::optional<double> maxValue_;
    QColor color_ = Qt::gray;
};

}  // namespace joulemap
