#include "SymbolIcon.h"

#include <QCache>
#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

#include <array>
#include <cmath>
#include <utility>

namespace joulemap::SymbolIcon {

namespace {

// Symbol name → icon file; the icons stand in for the system symbols of the same meaning.
constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kIcons{{
    {"arrow.down.right", "arrow-down-right.svg"},
    {"arrow.triangle.2.circlepath", "refresh.svg"},
    {"arrow.up.arrow.down.circle.fill", "arrows-up-down.svg"},
    {"arrow.up.circle.fill", "circle-arrow-up-filled.svg"},
    {"bell.badge", "bell-ringing.svg"},
    {"bolt.fill", "bolt-filled.svg"},
    {"chart.xyaxis.line", "chart-line.svg"},
    {"chevron.down", "chevron-down.svg"},
    {"chevron.right", "chevron-right.svg"},
    {"circle.lefthalf.filled", "circle-half-2.svg"},
    {"gearshape", "settings.svg"},
    {"heart.text.square", "device-heart-monitor.svg"},
    {"info.circle", "info-circle.svg"},
    {"list.bullet.below.rectangle", "list-details.svg"},
    {"list.bullet.rectangle.portrait", "clipboard-list.svg"},
    {"powerplug.fill", "plug.svg"},
    {"thermometer.medium", "temperature.svg"},
}};

const std::array<std::string_view, kIcons.size()> kNames = [] {
    std::array<std::string_view, kIcons.size()> names{};
    for (std::size_t i = 0; i < kIcons.size(); ++i) names[i] = kIcons[i].first;
    return names;
}();

// The icons draw on 24 units with 2 units of margin on each side.
constexpr double kBoxPerSymbolSize = 24.0 / 20.0;
// Enough for every symbol of every window in two colours at two pixel ratios.
constexpr int kCacheEntries = 256;

QString cacheKey(std::string_view name, const QColor& color, int pixels) {
    return QString::fromUtf8(name.data(), qsizetype(name.size())) + QLatin1Char('|') +
           QString::number(color.rgba(), 16) + QLatin1Char('|') + QString::number(pixels);
}

}  // namespace

std::span<const std::string_view> knownNames() { return kNames; }

std::optional<QString> resourcePath(std::string_view name) {
    for (const auto& [symbol, file] : kIcons) {
        if (symbol == name) return QStringLiteral(":/icons/") + QString::fromLatin1(file.data(), qsizetype(file.size()));
    }
    return std::nullopt;
}

qreal boxSide(double symbolSize) { return symbolSize * kBoxPerSymbolSize; }

QImage image(std::string_view name, const QColor& color, qreal side, qreal devicePixelRatio) {
    const std::optional<QString> path = resourcePath(name);
    const int pixels = static_cast<int>(std::lround(side * devicePixelRatio));
    if (!path || pixels <= 0) return {};

    static QCache<QString, QImage> cache(kCacheEntries);
    const QString key = cacheKey(name, color, pixels);
    if (const QImage* cached = cache.object(key)) {
        QImage copy = *cached;
        copy.setDevicePixelRatio(devicePixelRatio);
        return copy;
    }

    QImage tinted(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    tinted.fill(Qt::transparent);
    QSvgRenderer renderer(*path);
    if (!renderer.isValid()) return {};
    {
        QPainter painter(&tinted);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, pixels, pixels));
        // Keep the icon's coverage, replace its colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(tinted.rect(), color);
    }
    cache.insert(key, new QImage(tinted));
    tinted.setDevicePixelRatio(devicePixelRatio);
    return tinted;
}

void draw(QPainter& painter, const QRectF& box, std::string_view name, const QColor& color) {
    const qreal side = std::min(box.width(), box.height());
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QImage icon = image(name, color, side, ratio);
    if (icon.isNull()) return;
    const QPointF topLeft(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.drawImage(QRectF(topLeft, QSizeF(side, side)), icon);
}

}  // namespace joulemap::SymbolIcon
