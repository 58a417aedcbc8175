#include "SankeyView.h"

#include "ImageBlur.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QStyleHints>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

#include "AppTheme.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace geo = SankeyGeometry;

namespace {

const int kAnimatedTickMs = static_cast<int>(std::lround(geo::kAnimatedTickSeconds * 1000));
const int kIdleTickMs = static_cast<int>(std::lround(geo::kIdleTickSeconds * 1000));

// The glow's blur radius is taken as a Gaussian's standard deviation; the glow image gets a margin
// of three deviations so the blur never runs into its edge.
constexpr double kGlowMarginDeviations = 3;
// Room around a text for glyphs reaching past their advance or line.
constexpr double kTextPadding = 2;
// Room around a band for its antialiased edge.
constexpr double kEdgePadding = 1;
// Particles repainted one by one in a frame; beyond, their whole strip is.
constexpr int kMostParticleRects = 64;

QPointF toQPoint(geo::Point p) { return {p.x, p.y}; }
QRectF toQRect(const geo::Rect& r) { return {r.x, r.y, r.width, r.height}; }

QPainterPath bandPath(const geo::BandShape& s) {
    QPainterPath path(toQPoint(s.topStart));
    path.cubicTo(toQPoint(s.topControl1), toQPoint(s.topControl2), toQPoint(s.topEnd));
    path.lineTo(toQPoint(s.bottomStart));
    path.cubicTo(toQPoint(s.bottomControl1), toQPoint(s.bottomControl2), toQPoint(s.bottomEnd));
    path.closeSubpath();
    return path;
}

Typography::Weight typographyWeight(geo::FontWeight weight) {
    switch (weight) {
        case geo::FontWeight::medium:
            return Typography::Weight::medium;
        case geo::FontWeight::semibold:
            return Typography::Weight::semibold;
        case geo::FontWeight::regular:
            break;
    }
    return Typography::Weight::regular;
}

QPointF snappedToDevicePixel(QPointF p, qreal devicePixelRatio) {
    return {std::floor(p.x() * devicePixelRatio) / devicePixelRatio,
            std::floor(p.y() * devicePixelRatio) / devicePixelRatio};
}

// An image covering `bounds` (grown to whole device pixels), painted by `paint` in canvas
// coordinates; null when the bounds are empty.
template <typename Paint>
std::pair<QImage, QPointF> paintImage(const QRectF& bounds, qreal devicePixelRatio, Paint&& paint) {
    if (bounds.isEmpty()) return {};
    const QPointF origin = snappedToDevicePixel(bounds.topLeft(), devicePixelRatio);
    QImage image(static_cast<int>(std::ceil((bounds.right() - origin.x()) * devicePixelRatio)),
                 static_cast<int>(std::ceil((bounds.bottom() - origin.y()) * devicePixelRatio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.translate(-origin);
        paint(painter);
    }
    return {std::move(image), origin};
}

QPointF anchoredTopLeft(const geo::TextItem& item, QSizeF size) {
    const double x = item.anchor.x;
    const double y = item.anchor.y;
    switch (item.alignment) {
        case geo::TextAnchor::topCenter:
            return {x - size.width() / 2, y};
        case geo::TextAnchor::bottomCenter:
            return {x - size.width() / 2, y - size.height()};
        case geo::TextAnchor::leading:
            return {x, y - size.height() / 2};
        case geo::TextAnchor::topLeading:
            break;
        case geo::TextAnchor::topTrailing:
            return {x - size.width(), y};
    }
    return {x, y};
}

// What a label reads once fitted to its width: the part before its kept tail is elided.
QString fittedText(const geo::TextItem& item, const QFont& font) {
    const QString text = QString::fromStdString(item.text);
    if (Typography::tabularWidth(font, text) <= item.maxWidth) return text;
    const std::size_t headBytes = item.text.size() - std::min(item.keptTailBytes, item.text.size());
    const QString tail = QString::fromStdString(item.text.substr(headBytes));
    const QString head = QString::fromStdString(item.text.substr(0, headBytes));
    const double tailWidth = Typography::tabularWidth(font, tail);
    const QString fitted =
        Typography::elided(font, head, item.maxWidth - tailWidth, Typography::Digits::tabular);
    if (!fitted.isEmpty()) return fitted + tail;
    // No room for even an ellipsis of the name: the figures alone, without their separator.
    QString figures = tail.trimmed();
    if (figures.startsWith(QChar(0x00B7))) figures = figures.mid(1).trimmed();
    return figures;
}

struct PlacedText {
    QFont font;
    QString text;
    QRectF box;  // the line box
};

PlacedText placedText(const geo::TextItem& item) {
    PlacedText placed;
    placed.font = Typography::font(item.fontSize, typographyWeight(item.weight));
    placed.text = fittedText(item, placed.font);
    const QSizeF size(Typography::tabularWidth(placed.font, placed.text),
                      Typography::lineHeight(placed.font));
    placed.box = QRectF(anchoredTopLeft(item, size), size);
    return placed;
}

}  // namespace

SankeyView::SankeyView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(static_cast<int>(geo::kMinimumWidth), static_cast<int>(geo::kMinimumHeight));
    clock_.start();
    connect(&tick_, &QTimer::timeout, this, &SankeyView::tick);
    updateTickInterval();
}

SankeyView::~SankeyView() = default;

QSize SankeyView::minimumSizeHint() const {
    return {static_cast<int>(geo::kMinimumWidth), static_cast<int>(geo::kMinimumHeight)};
}

void SankeyView::setData(const JoulemapData& data) {
    if (data == data_) return;
    data_ = data;
    layoutSize_.reset();
    sceneValid_ = false;
    update();
}

void SankeyView::setHighlight(std::optional<std::string> id, std::optional<PowerGroup> group) {
    if (id == highlightedId_ && group == highlightedGroup_) return;
    highlightedId_ = std::move(id);
    highlightedGroup_ = group;
    emphasisValid_ = false;
    update();
}

void SankeyView::setAnimationActive(bool active) {
    if (active == animationActive_) return;
    animationActive_ = active;
    updateTickInterval();
    tick();
}

void SankeyView::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) {
        // Only the label and legend colours follow the theme; the next frame notices the new palette.
        connect(manager, &ThemeManager::themeChanged, this, [this] {
            // The window under this widget changes colour too.
            dropBackdrop();
            update();
        });
    }
    dropBackdrop();
    update();
}

void SankeyView::updateTickInterval() {
    const bool animating = animationActive_ && shown_ && isVisible();
    const int interval = animating ? kAnimatedTickMs : kIdleTickMs;
    if (!tick_.isActive() || tick_.interval() != interval) tick_.start(interval);
    if (animating) {
        watchAncestors();
    } else {
        dropBackdrop();
    }
}

SankeyView::BackdropKey SankeyView::backdropKey() const {
    return {mapTo(window(), QPoint(0, 0)), window()->size(), size(), devicePixelRatioF()};
}

void SankeyView::ensureBackdrop() {
    if (isWindow() || size().isEmpty()) return;
    const BackdropKey key = backdropKey();
    if (backdropKey_ == key) return;
    dropBackdrop();
    // The format of an opaque window's backing store, so the blit is a plain copy.
    const bool translucent = window()->testAttribute(Qt::WA_TranslucentBackground);
    QImage image(size() * key.devicePixelRatio,
                 translucent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.setDevicePixelRatio(key.devicePixelRatio);
    image.fill(Qt::transparent);
    {
        // Each ancestor paints its own part, the window first, just as the window itself would;
        // their other children do not reach under this widget.
        std::vector<QWidget*> ancestors;
        for (QWidget* widget = parentWidget(); widget; widget = widget->isWindow() ? nullptr : widget->parentWidget())
            ancestors.push_back(widget);
        QPainter painter(&image);
        for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
            QWidget* ancestor = *it;
            const QPoint origin = mapTo(ancestor, QPoint(0, 0));
            ancestor->render(&painter, QPoint(), QRegion(QRect(origin, size())),
                             ancestor->isWindow() ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
        }
    }
    backdrop_ = std::move(image);
    backdropKey_ = key;
    underlayValid_ = false;
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void SankeyView::dropBackdrop() {
    if (!backdropKey_ && backdrop_.isNull()) return;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    backdrop_ = QImage();
    underlay_ = QImage();
    underlayValid_ = false;
    backdropKey_.reset();
}

void SankeyView::watchAncestors() {
    for (const QPointer<QWidget>& widget : watchedAncestors_) {
        if (widget) widget->removeEventFilter(this);
    }
    watchedAncestors_.clear();
    for (QWidget* widget = parentWidget(); widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        widget->installEventFilter(this);
        watchedAncestors_.emplace_back(widget);
    }
}

bool SankeyView::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ParentChange:
            watchAncestors();
            [[fallthrough]];
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
            // Before the window repaints, so that it paints under this widget again.
            dropBackdrop();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void SankeyView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    dropBackdrop();
}

QRegion SankeyView::particleRegion(double timeSeconds) const {
    QRegion region;
    int count = 0;
    for (const Band& band : scene_.bands) {
        for (const geo::Particle& particle :
             geo::particles(band.slice, band.bar, scene_.bandCenterX, band.powerWatts, timeSeconds)) {
            // Past a few dozen dots one strip is cheaper than the region's bookkeeping.
            if (++count > kMostParticleRects) return scene_.particleArea;
            const double reach = particle.radius + kEdgePadding;
            region += QRectF(particle.center.x - reach, particle.center.y - reach, 2 * reach, 2 * reach)
                          .toAlignedRect();
        }
    }
    return region;
}

void SankeyView::tick() {
    const double previousFrameSeconds = frameTimeSeconds_;
    frameTimeSeconds_ = static_cast<double>(clock_.nsecsElapsed()) / 1e9;
    if (tick_.interval() == kAnimatedTickMs) ensureBackdrop();
    // Only the particles move with time, so only the dots where they were and where they are now
    // are repainted; that spares the rest of the diagram, and the window under it, 30 times a second.
    if (sceneValid_ && layoutSize_ == QSizeF(size())) {
        if (scene_.drawable) {
            const QRegion shown = shownParticles_ ? *shownParticles_ : particleRegion(previousFrameSeconds);
            shownParticles_ = particleRegion(frameTimeSeconds_);
            update(shown + *shownParticles_);
        }
    } else {
        update();
    }
}

void SankeyView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    shown_ = true;
    updateTickInterval();
    tick();
}

void SankeyView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    shown_ = false;
    updateTickInterval();
}

const geo::Layout& SankeyView::layoutFor(QSizeF size) {
    if (layoutSize_ != size) {
        layout_ = geo::computeLayout(data_, size.width(), size.height());
        layoutSize_ = size;
        sceneValid_ = false;
    }
    return layout_;
}

std::optional<std::string> SankeyView::hitTest(QPointF position) {
    return geo::hitTest(data_, layoutFor(size()), position.x(), position.y());
}

void SankeyView::buildScene(QSizeF size) {
    const geo::Layout& layout = layout_;
    Scene scene;
    scene.drawable = geo::shouldDraw(layout, size.width(), size.height());
    if (scene.drawable) {
        scene.canvasSize = size;
        scene.bandCenterX = geo::bandCenterX(layout);
        scene.inputColor = hexQColor(data_.inputColor);
        scene.sourceNode = toQRect(layout.leftNode);

        const geo::Legend legend = geo::legend(layout, size.width(), size.height());
        scene.legendBar = toQRect(legend.bar);
        scene.backItems = {legend.value, legend.caption};
        for (auto& header : geo::headers(layout)) scene.backItems.push_back(std::move(header));

        const double gradientStart = layout.leftNode.maxX();
        const double gradientEnd = geo::gradientEndX(size.width());
        const std::size_t count = std::min(layout.rightNodes.size(), data_.destinations.size());
        scene.frontItems = geo::sourceLabels(data_, layout);
        std::vector<std::vector<geo::TextItem>> labels;
        for (std::size_t i = 0; i < count; ++i) {
            const PowerDestination& destination = data_.destinations[i];
            Band band;
            band.slice = layout.leftSlices[i];
            band.bar = layout.rightNodes[i];
            band.powerWatts = destination.power;
            band.path = bandPath(geo::bandShape(band.slice, band.bar, scene.bandCenterX));
            band.color = hexQColor(destination.color);
            band.gradient = QLinearGradient(gradientStart, 0, gradientEnd, 0);
            band.gradient.setColorAt(0, scene.inputColor);
            band.gradient.setColorAt(1, band.color);
            const double reach = geo::particleRadius(destination.power) + kEdgePadding;
            const QRectF path = QRectF(QPointF(band.slice.maxX(), band.slice.midY()),
                                       QPointF(band.bar.minX(), band.bar.midY()))
                                    .normalized()
                                    .adjusted(-reach, -reach, reach, reach);
            scene.particleArea |= path.toAlignedRect();
            scene.bands.push_back(std::move(band));
            labels.push_back(
                geo::destinationLabel(destination, layout.rightNodes[i], layout.total, size.width()));
        }
        // Labels stay clear of each other and end above the legend, which shares their column.
        geo::spreadLabels(
            labels,
            [](const geo::TextItem& item) {
                return Typography::lineHeight(Typography::font(item.fontSize, typographyWeight(item.weight)));
            },
            0, std::min(legend.bar.minY(), legend.caption.anchor.y));
        for (auto& label : labels) {
            for (auto& line : label) scene.frontItems.push_back(std::move(line));
        }
    }
    scene_ = std::move(scene);
    shownParticles_.reset();
    sceneValid_ = true;
    emphasisValid_ = false;
    textStyle_.reset();
    underlayValid_ = false;
}

void SankeyView::Sprite::draw(QPainter& painter) const {
    if (!image.isNull()) painter.drawImage(origin, image);
}

void SankeyView::buildEmphasis(qreal devicePixelRatio) {
    const double sigma = geo::kGlowBlurRadius;
    const double margin = kGlowMarginDeviations * sigma;
    const QRectF canvas(QPointF(0, 0), scene_.canvasSize);
    for (std::size_t i = 0; i < scene_.bands.size(); ++i) {
        Band& band = scene_.bands[i];
        const PowerDestination& destination = data_.destinations[i];
        band.alpha = geo::alpha(destination, highlightedId_, highlightedGroup_);

        // Columns taller than the canvas are cut off by it, and so are their images.
        const QRectF bounds =
            band.path.boundingRect().adjusted(-kEdgePadding, -kEdgePadding, kEdgePadding, kEdgePadding);
        auto [fill, fillOrigin] = paintImage(bounds & canvas, devicePixelRatio, [&band](QPainter& painter) {
            painter.setOpacity(band.alpha * geo::kBandOpacity);
            painter.fillPath(band.path, band.gradient);
        });
        band.fill = {std::move(fill), fillOrigin};

        band.glow = {};
        if (!geo::isHighlighted(destination, highlightedId_, highlightedGroup_)) continue;
        const QRectF glowBounds = bounds.adjusted(-margin, -margin, margin, margin) &
                                  canvas.adjusted(-margin, -margin, margin, margin);
        auto [glow, glowOrigin] = paintImage(glowBounds, devicePixelRatio, [&band](QPainter& painter) {
            painter.setOpacity(geo::kGlowOpacity);
            painter.fillPath(band.path, band.color);
        });
        gaussianBlur(glow, sigma * devicePixelRatio);
        band.glow = {std::move(glow), glowOrigin};
    }
    emphasisDevicePixelRatio_ = devicePixelRatio;
    emphasisValid_ = true;
    underlayValid_ = false;
}

void SankeyView::buildTexts(const TextStyle& style) {
    const auto render = [&style](const geo::TextItem& item) {
        const PlacedText placed = placedText(item);
        const QRectF bounds = placed.box.adjusted(-kTextPadding, -kTextPadding, kTextPadding, kTextPadding);
        auto [image, origin] = paintImage(bounds, style.devicePixelRatio, [&](QPainter& painter) {
            painter.setFont(placed.font);
            painter.setPen(item.role == geo::TextRole::primary ? style.primary : style.secondary);
            Typography::drawLine(painter, placed.box.topLeft(), placed.text, nullptr,
                                 Typography::Digits::tabular);
        });
        return Sprite{std::move(image), origin};
    };
    scene_.backTexts.clear();
    scene_.frontTexts.clear();
    for (const auto& item : scene_.backItems) scene_.backTexts.push_back(render(item));
    for (const auto& item : scene_.frontItems) scene_.frontTexts.push_back(render(item));
    textStyle_ = style;
    underlayValid_ = false;
}

TextBoxes SankeyView::textBoxes() {
    layoutFor(size());
    if (!sceneValid_) buildScene(size());
    TextBoxes boxes;
    if (!scene_.drawable) return boxes;
    for (const auto* items : {&scene_.backItems, &scene_.frontItems}) {
        for (const geo::TextItem& item : *items) {
            PlacedText placed = placedText(item);
            if (!placed.text.isEmpty()) boxes.push_back({placed.box, placed.text});
        }
    }
    return boxes;
}

void SankeyView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!backdropKey_) {
        paintFrame(painter, size(), frameTimeSeconds_);
        return;
    }
    // Over a backdrop, everything under the particles is one image, so a frame is one copy, the
    // particles and the nodes.
    const bool drawable = prepareFrame(size(), devicePixelRatioF());
    if (!underlayValid_) {
        underlay_ = backdrop_;
        if (drawable) {
            QPainter still(&underlay_);
            still.setRenderHint(QPainter::Antialiasing);
            still.setPen(Qt::NoPen);
            paintStill(still);
        }
        underlayValid_ = true;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), underlay_);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!drawable) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    paintParticles(painter, frameTimeSeconds_);
    paintFront(painter, event->rect());
}

bool SankeyView::prepareFrame(QSizeF size, qreal devicePixelRatio) {
    layoutFor(size);
    if (!sceneValid_) buildScene(size);
    if (!scene_.drawable) return false;
    if (!emphasisValid_ || emphasisDevicePixelRatio_ != devicePixelRatio) buildEmphasis(devicePixelRatio);
    const ThemePalette& colors = themePalette(themeManager_);
    const TextStyle style{devicePixelRatio, colors.primaryText, colors.secondaryText};
    if (textStyle_ != style) buildTexts(style);
    return true;
}

void SankeyView::paintStill(QPainter& painter) const {
    painter.setOpacity(geo::kLegendBarOpacity);
    painter.fillRect(scene_.legendBar, themePalette(themeManager_).secondaryText);
    painter.setOpacity(1);
    for (const Sprite& text : scene_.backTexts) text.draw(painter);
    for (const Band& band : scene_.bands) {
        band.fill.draw(painter);
        band.glow.draw(painter);
    }
}

void SankeyView::paintParticles(QPainter& painter, double timeSeconds) const {
    for (const Band& band : scene_.bands) {
        painter.setBrush(band.color);
        for (const geo::Particle& particle :
             geo::particles(band.slice, band.bar, scene_.bandCenterX, band.powerWatts, timeSeconds)) {
            painter.setOpacity(particle.opacityFactor * band.alpha);
            painter.drawEllipse(toQPoint(particle.center), particle.radius, particle.radius);
        }
    }
}

void SankeyView::paintFront(QPainter& painter, const QRectF& exposed) const {
    // Most frames expose only the strip between the columns: what lies outside is not even traced.
    painter.setOpacity(1);
    if (scene_.sourceNode.intersects(exposed)) {
        painter.setBrush(scene_.inputColor);
        painter.drawRoundedRect(scene_.sourceNode, geo::kSourceCornerRadius, geo::kSourceCornerRadius);
    }
    for (const Band& band : scene_.bands) {
        const QRectF bar = toQRect(band.bar);
        if (!bar.intersects(exposed)) continue;
        painter.setOpacity(band.alpha);
        painter.setBrush(band.color);
        painter.drawRoundedRect(bar, geo::kDestinationCornerRadius, geo::kDestinationCornerRadius);
    }
    painter.setOpacity(1);
    for (const Sprite& text : scene_.frontTexts) {
        if (QRectF(text.origin, text.image.deviceIndependentSize()).intersects(exposed)) text.draw(painter);
    }
}

void SankeyView::paintFrame(QPainter& painter, QSizeF size, double timeSeconds) {
    const qreal devicePixelRatio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (!prepareFrame(size, devicePixelRatio)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    paintStill(painter);
    paintParticles(painter, timeSeconds);
    paintFront(painter, QRectF(QPointF(0, 0), size));
    painter.restore();
}

void SankeyView::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (onHover) onHover(hitTest(event->position()));
}

void SankeyView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (onHover) onHover(std::nullopt);
}

void SankeyView::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) pressPosition_ = event->position();
}

void SankeyView::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressPosition_) return;
    const QPointF travel = event->position() - *pressPosition_;
    pressPosition_.reset();
    // A press that wandered off is a drag, not a click.
    if (travel.manhattanLength() >= QGuiApplication::styleHints()->startDragDistance()) return;
    if (onSelect) onSelect(hitTest(event->position()));
}

}  // namespace joulemap
