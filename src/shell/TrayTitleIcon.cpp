#include "TrayTitleIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "Accents.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap::TrayTitleIcon {

namespace {

const QString kBolt = QStringLiteral("⚡");
const QString kPercent = QStringLiteral("%");
// What trays commonly ask for; any other size is drawn when asked for all the same.
constexpr int kStandardSides[] = {16, 22, 24, 32, 48, 64};
// Shares of the height the bolt takes above the figures: at least the first, and up to the second
// where the figures are held by the width and leave more.
constexpr double kMinBoltShare = 0.26;
constexpr double kMaxBoltShare = 0.45;
// Share of the width the bolt takes beside the figures.
constexpr double kBesideBoltShare = 0.26;
// The bolt's width against its height.
constexpr double kBoltWidthPerHeight = 0.5;
// The bolt goes above the figures only where that makes them this much taller, as three digits
// held by the width are: above them it is too small to read as a bolt.
constexpr double kStackedGain = 1.3;
// The outline's width against the icon's side: enough to separate white figures from a white panel.
constexpr double kOutlineShare = 0.09;
constexpr double kOutlineOpacity = 0.8;
// Figures narrower than the face draws them, so they can take more of the square's height. Where
// the face has a condensed cut it is used, otherwise its outlines are narrowed.
constexpr int kFigureStretch = QFont::Condensed;
// The "%" stays only while the figures beside it are at least this tall: on the small icons trays
// ask for it would take the room the digits need to be read at a glance.
constexpr double kMinFigureHeight = 16;

// The figures as a path scaled to fill `box` and centred in it, its height a whole number of device
// pixels and its top on a pixel edge, so the horizontal strokes land on the pixel grid.
QPainterPath fittedText(const QString& text, const QRectF& box, qreal ratio) {
    QFont font = Typography::font(100, Typography::Weight::bold);
    font.setStretch(kFigureStretch);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty()) return path;
    const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    const double devicePixels = std::max(1.0, std::floor(bounds.height() * scale * ratio));
    const double snapped = devicePixels / ratio / bounds.height();
    const double top = std::round((box.center().y() - bounds.height() * snapped / 2) * ratio) / ratio;
    QTransform transform;
    transform.translate(box.center().x(), top);
    transform.scale(snapped, snapped);
    transform.translate(-bounds.center().x(), -bounds.top());
    return transform.map(path);
}

// The figures fitted to `box`, without their "%" where keeping it would make them too small.
QPainterPath fittedFigures(const QString& figures, const QRectF& box, qreal ratio) {
    QPainterPath path = fittedText(figures, box, ratio);
    if (figures.endsWith(kPercent) && path.boundingRect().height() < kMinFigureHeight) {
        path = fittedText(figures.chopped(kPercent.size()), box, ratio);
    }
    return path;
}

// A bolt filling `box`: drawn as a path rather than the dashboard's symbol, whose rounded corners
// and margins melt into a blob at the few pixels a tray gives it.
QPainterPath boltPath(const QRectF& box) {
    static const QPointF kCorners[] = {{0.72, 0}, {0.04, 0.58}, {0.44, 0.58}, {0.28, 1},
                                       {0.96, 0.4}, {0.56, 0.4}};
    QPolygonF polygon;
    for (const QPointF& c : kCorners) polygon << QPointF(box.left() + c.x() * box.width(), box.top() + c.y() * box.height());
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

// A bolt of `height` centred on `centre`.
QRectF boltBox(QPointF centre, double height) {
    const double width = height * kBoltWidthPerHeight;
    return {centre.x() - width / 2, centre.y() - height / 2, width, height};
}

struct Layout {
    QPainterPath figures;
    QRectF bolt;
};

// The bolt above the figures, which sit on the bottom edge and leave it what they do not need.
Layout stacked(const QString& figures, QRectF box, double side, double outline, qreal ratio) {
    // Room for the bolt, its outline above and below, and the figures' own outline.
    box.setTop(side * kMinBoltShare + 1.5 * outline);
    Layout layout{fittedFigures(figures, box, ratio), {}};
    // Moved by whole device pixels, so the figures stay sharp.
    layout.figures.translate(0, std::floor((box.bottom() - layout.figures.boundingRect().bottom()) * ratio) / ratio);
    const double room = layout.figures.boundingRect().top() - 1.5 * outline;
    layout.bolt = boltBox({side / 2, outline / 2 + room / 2}, std::min(room, side * kMaxBoltShare));
    return layout;
}

// A tall bolt on the left, the figures beside it.
Layout beside(const QString& figures, QRectF box, double side, double outline, qreal ratio) {
    const double boltWidth = side * kBesideBoltShare;
    const double boltHeight = std::min(box.height(), boltWidth / kBoltWidthPerHeight);
    const QRectF bolt = boltBox({box.left() + boltWidth / 2, box.center().y()}, boltHeight);
    box.setLeft(bolt.right() + outline / 2);
    return {fittedFigures(figures, box, ratio), bolt};
}

// Draws the title on a transparent square of `side` device-independent pixels.
void draw(QPainter& p, const QString& title, double side, qreal ratio) {
    p.setRenderHint(QPainter::Antialiasing);
    const bool bolt = title.startsWith(kBolt);
    const QString figures = bolt ? title.mid(kBolt.size()) : title;
    const double outline = std::max(1.0, side * kOutlineShare);
    const QRectF box = QRectF(0, 0, side, side).adjusted(outline / 2, outline / 2, -outline / 2, -outline / 2);
    Layout layout;
    if (figures.isEmpty()) {
        layout.bolt = boltBox(box.center(), box.height());
    } else if (!bolt) {
        layout.figures = fittedFigures(figures, box, ratio);
    } else {
        layout = beside(figures, box, side, outline, ratio);
        const Layout above = stacked(figures, box, side, outline, ratio);
        if (above.figures.boundingRect().height() > kStackedGain * layout.figures.boundingRect().height()) layout = above;
    }
    const QPen pen(withOpacity(Qt::black, kOutlineOpacity), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (!layout.bolt.isEmpty()) {
        const QPainterPath path = boltPath(layout.bolt);
        p.strokePath(path, pen);
        p.fillPath(path, hexQColor(kAccentYellow));
    }
    p.strokePath(layout.figures, pen);
    p.fillPath(layout.figures, Qt::white);
}

QImage renderDevice(const QString& title, int deviceSide, qreal ratio) {
    QImage image(deviceSide, deviceSide, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    draw(p, title, deviceSide / ratio, ratio);
    return image;
}

// Draws the title afresh at whatever size and pixel ratio the tray asks for, instead of scaling
// the nearest of a few prepared images, which blurs the figures.
class TitleEngine : public QIconEngine {
public:
    explicit TitleEngine(QString title) : title_(std::move(title)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        if (side <= 0) return;
        const QImage image = renderDevice(title_, static_cast<int>(std::lround(side * ratio)), ratio);
        painter->drawImage(QRectF(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0,
                                  side, side),
                           image);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` is in device pixels here.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0) return {};
        return QPixmap::fromImage(renderDevice(title_, side, scale > 0 ? scale : 1.0));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : kStandardSides) sizes.append(QSize(side, side));
        return sizes;
    }

    QString key() const override { return QStringLiteral("JoulemapTrayTitle"); }
    QIconEngine* clone() const override { return new TitleEngine(title_); }

private:
    QString title_;
};

}  // namespace

QImage render(const QString& title, int side, qreal devicePixelRatio) {
    return renderDevice(title, static_cast<int>(std::lround(side * devicePixelRatio)), devicePixelRatio);
}

QIcon icon(const QString& title) { return QIcon(new TitleEngine(title)); }

}  // namespace joulemap::TrayTitleIcon
