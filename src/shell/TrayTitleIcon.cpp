#include "TrayTitleIcon.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "Accents.h"
#include "SymbolIcon.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap::TrayTitleIcon {

namespace {

const QString kBolt = QStringLiteral("⚡");
constexpr int kStandardSides[] = {16, 22, 24, 32, 48, 64};
// Share of the height the bolt takes when figures sit under it.
constexpr double kBoltShare = 0.38;
// The outline's width against the icon's side: enough to separate white figures from a white panel.
constexpr double kOutlineShare = 0.09;
constexpr double kOutlineOpacity = 0.8;

// The figures as a path, scaled to fit `box` and centred in it.
QPainterPath fittedText(const QString& text, const QRectF& box) {
    QFont font = Typography::font(100, Typography::Weight::bold);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty()) return path;
    const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform transform;
    transform.translate(box.center().x(), box.center().y());
    transform.scale(scale, scale);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(path);
}

}  // namespace

QImage render(const QString& title, int side, qreal devicePixelRatio) {
    QImage image(QSize(side, side) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const bool bolt = title.startsWith(kBolt);
    const QString figures = bolt ? title.mid(kBolt.size()) : title;
    const QRectF square(0, 0, side, side);
    const double outline = std::max(1.0, side * kOutlineShare);
    const QColor shadow = withOpacity(Qt::black, kOutlineOpacity);

    QRectF textBox = square.adjusted(outline / 2, outline / 2, -outline / 2, -outline / 2);
    if (bolt) {
        QRectF boltBox = figures.isEmpty() ? square : QRectF(0, 0, side, side * kBoltShare);
        if (!figures.isEmpty()) textBox.setTop(boltBox.bottom());
        // The outline is the same symbol, a little larger, in the shadow colour.
        const double grow = figures.isEmpty() ? outline : outline / 2;
        SymbolIcon::draw(p, boltBox.adjusted(-grow, -grow, grow, grow), "bolt.fill", shadow);
        SymbolIcon::draw(p, boltBox, "bolt.fill", hexQColor(kAccentYellow));
    }
    if (!figures.isEmpty()) {
        const QPainterPath path = fittedText(figures, textBox);
        p.strokePath(path, QPen(shadow, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.fillPath(path, Qt::white);
    }
    return image;
}

QIcon icon(const QString& title, qreal devicePixelRatio, int traySide) {
    QIcon result;
    for (const int side : kStandardSides) result.addPixmap(QPixmap::fromImage(render(title, side, devicePixelRatio)));
    if (traySide > 0 && std::find(std::begin(kStandardSides), std::end(kStandardSides), traySide) == std::end(kStandardSides)) {
        result.addPixmap(QPixmap::fromImage(render(title, traySide, devicePixelRatio)));
    }
    return result;
}

}  // namespace joulemap::TrayTitleIcon
