#include "DetailListView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <utility>

#include "CardFrame.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "ThinScrollBar.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

namespace list = DestinationListModel;

constexpr double kPaddingX = 14;
constexpr double kTitlePaddingY = 10;
constexpr double kTitleSymbolSize = 11;
constexpr double kTitleSpacing = 6;
constexpr double kBottomPadding = 12;
constexpr double kBlockSpacing = 8;
constexpr double kDividerTopSpace = 8;
constexpr double kDividerHeight = 1;
constexpr double kBlockItemSpacing = 6;
constexpr double kHeaderSpacing = 8;
constexpr double kChevronSymbolSize = 9;
constexpr double kCollapsedChevronDegrees = -90;
constexpr double kHeaderBarHeight = 4;
constexpr double kRowPaddingX = 4;
constexpr double kRowPaddingY = 2;
constexpr double kRowSpacing = 8;
constexpr double kDotSide = 8;
constexpr double kNameWidth = 108;
constexpr double kRowBarHeight = 6;
constexpr double kPowerWidth = 50;
constexpr double kEmphasisOpacity = 0.08;
constexpr double kEmphasisCornerRadius = 5;
constexpr int kPreferredWidth = 300;
constexpr int kMinimumWidth = 260;
constexpr int kOutlineWidth = 1;
constexpr double kScrollHandleOpacity = 0.5;

QFont titleFont() { return Typography::font(12, Typography::Weight::semibold); }
QFont totalFont() { return Typography::font(11); }
QFont headerLabelFont() { return Typography::font(11, Typography::Weight::semibold); }
QFont subtotalFont() { return Typography::font(11); }
QFont nameFont() { return Typography::font(12.5); }
QFont powerFont() { return Typography::font(12); }

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The top of the line box that centres a line of `font` on `midY`.
double centredTop(const QFont& font, double midY) { return midY - Typography::lineHeight(font) / 2; }

double headerHeight() {
    return std::max({SymbolIcon::boxSide(kChevronSymbolSize), Typography::lineHeight(headerLabelFont()),
                     Typography::lineHeight(subtotalFont()), kHeaderBarHeight});
}

double rowHeight() {
    return std::max({kDotSide, Typography::lineHeight(nameFont()), kRowBarHeight,
                     Typography::lineHeight(powerFont())}) +
           2 * kRowPaddingY;
}

// A capsule track with a capsule filled from the left to `fraction` of it.
void paintShareBar(QPainter& painter, const QRectF& track, double fraction, const QColor& trackColor,
                   const QColor& fill) {
    const double radius = track.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor);
    painter.drawRoundedRect(track, radius, radius);
    const double filled = track.width() * std::clamp(fraction, 0.0, 1.0);
    if (filled <= 0) return;
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(track.left(), track.top(), filled, track.height()), radius, radius);
}

}  // namespace

class DetailListView::Content : public QWidget {
public:
    explicit Content(DetailListView* owner) : owner_(owner) { setMouseTracking(true); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        owner_->paintContent(painter, width(), nullptr);
    }
    void resizeEvent(QResizeEvent*) override { owner_->relayout(); }
    void mouseMoveEvent(QMouseEvent* event) override { owner_->hoverTo(owner_->targetAt(event->position())); }
    void leaveEvent(QEvent*) override { owner_->hoverTo({}); }
    // A header toggles on release over the same header, like a button.
    void mousePressEvent(QMouseEvent* event) override {
        pressedGroup_ =
            event->button() == Qt::LeftButton ? owner_->targetAt(event->position()).group : std::nullopt;
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const auto group = owner_->targetAt(event->position()).group;
        if (pressedGroup_ && group == pressedGroup_) owner_->toggleCollapse(*group);
        pressedGroup_.reset();
    }

private:
    DetailListView* owner_;
    std::optional<PowerGroup> pressedGroup_;
};

DetailListView::DetailListView(QWidget* parent)
    : QWidget(parent), scrollArea_(new QScrollArea(this)), content_(new Content(this)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea_->setWidgetResizable(true);
    scrollArea_->setAutoFillBackground(false);
    scrollArea_->viewport()->setAutoFillBackground(false);
    scrollArea_->setWidget(content_);
    // setWidget() turns the background filling on; the card underneath must show through.
    content_->setAutoFillBackground(false);
    applyScrollBarStyle();
    model_ = list::build({});
    relayout();
}

DetailListView::~DetailListView() = default;

void DetailListView::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) {
        connect(manager, &ThemeManager::themeChanged, this, [this] {
            applyScrollBarStyle();
            update();
            content_->update();
        });
    }
    applyScrollBarStyle();
    update();
    content_->update();
}

// The platform's bar, with arrows and a light track, would stand out on the dark card; the handle
// follows the theme's faint text so it reads on both.
void DetailListView::applyScrollBarStyle() {
    const QColor handle = withOpacity(themePalette(themeManager_).textTertiary, kScrollHandleOpacity);
    scrollArea_->verticalScrollBar()->setStyleSheet(thinScrollBarStyle(handle));
}

void DetailListView::setDestinations(const std::vector<PowerDestination>& destinations) {
    model_ = list::build(destinations);
    relayout();
    update();
}

void DetailListView::setHighlight(std::optional<std::string> id, std::optional<PowerGroup> group) {
    highlightedId_ = std::move(id);
    highlightedGroup_ = group;
    content_->update();
}

void DetailListView::setCollapsed(std::set<std::string> rawValues) {
    collapsed_ = std::move(rawValues);
    relayout();
}

void DetailListView::toggleCollapse(PowerGroup group) {
    const std::string raw = rawValue(group);
    if (!collapsed_.erase(raw)) collapsed_.insert(raw);
    relayout();
}

QWidget* DetailListView::listContent() const { return content_; }

std::optional<QRectF> DetailListView::headerRect(PowerGroup group) const {
    for (const BlockPlace& place : places_) {
        if (place.group == group) return place.header;
    }
    return std::nullopt;
}

std::optional<QRectF> DetailListView::rowRect(const std::string& id) const {
    for (const BlockPlace& place : places_) {
        for (const RowPlace& row : place.rows) {
            if (row.item.id == id) return row.rect;
        }
    }
    return std::nullopt;
}

double DetailListView::titleHeight() const {
    return 2 * kTitlePaddingY +
           std::max({SymbolIcon::boxSide(kTitleSymbolSize), Typography::lineHeight(titleFont()),
                     Typography::lineHeight(totalFont())});
}

// The list's scroll area starts below the title on a whole pixel and ends inside the outline (see
// resizeEvent); at this height it shows every row without a scroll bar.
QSize DetailListView::sizeHint() const {
    return {kPreferredWidth,
            static_cast<int>(std::ceil(titleHeight()) + std::ceil(placedHeight_)) + kOutlineWidth};
}

// Room for the first group's header and one row: less would be a title over an empty scroll area.
QSize DetailListView::minimumSizeHint() const {
    const double list = headerHeight() + kBlockItemSpacing + rowHeight() + kBottomPadding;
    return {kMinimumWidth,
            static_cast<int>(std::ceil(titleHeight()) + std::ceil(std::min(list, placedHeight_))) +
                kOutlineWidth};
}

TextBoxes DetailListView::textBoxes() const {
    QPicture picture;
    QPainter painter(&picture);
    TextBoxes boxes;
    paintTitle(painter, &boxes);
    TextBoxes listBoxes;
    paintContent(painter, content_->width(), &listBoxes);
    const QWidget* viewport = scrollArea_->viewport();
    const QRectF visible(viewport->mapTo(this, QPoint(0, 0)), QSizeF(viewport->size()));
    const QPointF offset = content_->mapTo(this, QPoint(0, 0));
    for (TextBox& box : listBoxes) {
        box.rect = box.rect.translated(offset) & visible;
        if (!box.rect.isEmpty()) boxes.push_back(std::move(box));
    }
    return boxes;
}

void DetailListView::resizeEvent(QResizeEvent*) {
    // Inside the card's outline, so the list never paints over it.
    const int top = static_cast<int>(std::ceil(titleHeight()));
    scrollArea_->setGeometry(kOutlineWidth, top, std::max(0, width() - 2 * kOutlineWidth),
                             std::max(0, height() - top - kOutlineWidth));
}

void DetailListView::relayout() {
    const double innerWidth = std::max(0.0, content_->width() - 2 * kPaddingX);
    const double header = headerHeight();
    const double row = rowHeight();
    places_.clear();
    double y = 0;
    for (const list::Block& block : model_.blocks) {
        BlockPlace place;
        place.group = block.group;
        if (&block != &model_.blocks.front()) {
            y += kBlockSpacing + kDividerTopSpace;
            place.dividerY = y;
            y += kDividerHeight + kBlockSpacing;
        }
        place.header = QRectF(kPaddingX, y, innerWidth, header);
        y += header;
        if (!collapsed_.contains(rawValue(block.group))) {
            for (const PowerDestination& item : block.items) {
                y += kBlockItemSpacing;
                place.rows.push_back({item, QRectF(kPaddingX, y, innerWidth, row)});
                y += row;
            }
        }
        places_.push_back(std::move(place));
    }
    y += kBottomPadding;

    if (y != placedHeight_) {
        placedHeight_ = y;
        content_->setMinimumHeight(static_cast<int>(std::ceil(y)));
        updateGeometry();
    }
    content_->update();
}

void DetailListView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintTitle(painter, nullptr);
}

void DetailListView::paintTitle(QPainter& painter, TextBoxes* boxes) const {
    const ThemePalette& palette = themePalette(themeManager_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintCardFrame(painter, QRectF(rect()), palette);

    const double mid = titleHeight() / 2;
    const double symbolSide = SymbolIcon::boxSide(kTitleSymbolSize);
    SymbolIcon::draw(painter, QRectF(kPaddingX, mid - symbolSide / 2, symbolSide, symbolSide),
                     "list.bullet.below.rectangle", palette.textTertiary);
    const QFont total = totalFont();
    const QString totalText = QString::fromStdString(list::totalText(model_.totalWatts));
    const double totalLeft = width() - kPaddingX - Typography::tabularWidth(total, totalText);
    const double titleLeft = kPaddingX + symbolSide + kTitleSpacing;
    const QFont title = titleFont();
    painter.setFont(title);
    painter.setPen(palette.secondaryText);
    Typography::drawLine(painter, QPointF(titleLeft, centredTop(title, mid)),
                         Typography::elided(title, qs(list::kTitle.str()), totalLeft - kTitleSpacing - titleLeft),
                         boxes);

    painter.setFont(total);
    painter.setPen(palette.textTertiary);
    Typography::drawLine(painter, QPointF(totalLeft, centredTop(total, mid)), totalText, boxes,
                         Typography::Digits::tabular);
}

void DetailListView::paintContent(QPainter& painter, double width, TextBoxes* boxes) const {
    const ThemePalette& palette = themePalette(themeManager_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t i = 0; i < places_.size(); ++i) {
        const BlockPlace& place = places_[i];
        const list::Block& block = model_.blocks[i];
        if (place.dividerY) {
            painter.setOpacity(1.0);
            painter.fillRect(QRectF(kPaddingX, *place.dividerY, width - 2 * kPaddingX, kDividerHeight),
                             palette.dividerColor);
        }
        const double blockOpacity = list::blockOpacity(block, highlightedId_, highlightedGroup_);
        painter.setOpacity(blockOpacity);
        paintHeader(painter, place, block, boxes);
        for (const RowPlace& row : place.rows) {
            painter.setOpacity(blockOpacity * list::rowOpacity(row.item, highlightedId_, highlightedGroup_));
            paintRow(painter, row, boxes);
        }
    }
    painter.setOpacity(1.0);
}

void DetailListView::paintHeader(QPainter& painter, const BlockPlace& place, const list::Block& block,
                                 TextBoxes* boxes) const {
    const ThemePalette& palette = themePalette(themeManager_);
    const QRectF& rect = place.header;
    const double mid = rect.center().y();
    double x = rect.left();

    const double chevronSide = SymbolIcon::boxSide(kChevronSymbolSize);
    const QRectF chevron(x, mid - chevronSide / 2, chevronSide, chevronSide);
    painter.save();
    if (collapsed_.contains(rawValue(block.group))) {
        painter.translate(chevron.center());
        painter.rotate(kCollapsedChevronDegrees);
        painter.translate(-chevron.center());
    }
    SymbolIcon::draw(painter, chevron, "chevron.down", palette.secondaryText);
    painter.restore();
    x += chevronSide + kHeaderSpacing;

    const QFont subtotal = subtotalFont();
    const QString subtotalText = QString::fromStdString(list::subtotalText(block));
    const double subtotalWidth = Typography::tabularWidth(subtotal, subtotalText);

    const QFont label = headerLabelFont();
    const QString labelText =
        Typography::elided(label, QString::fromStdString(list::blockLabel(block.group)).toUpper(),
                           rect.right() - subtotalWidth - kHeaderSpacing - x);
    painter.setFont(label);
    painter.setPen(palette.secondaryText);
    x = Typography::drawLine(painter, QPointF(x, centredTop(label, mid)), labelText, boxes).right() +
        kHeaderSpacing;

    painter.setFont(subtotal);
    Typography::drawLine(painter, QPointF(rect.right() - subtotalWidth, centredTop(subtotal, mid)),
                         subtotalText, boxes, Typography::Digits::tabular);

    const double barRight = rect.right() - subtotalWidth - kHeaderSpacing;
    if (barRight > x) {
        paintShareBar(painter, QRectF(x, mid - kHeaderBarHeight / 2, barRight - x, kHeaderBarHeight),
                      block.sharePercent / 100.0, palette.trackColor, hexQColor(groupColor(block.group)));
    }
}

void DetailListView::paintRow(QPainter& painter, const RowPlace& place, TextBoxes* boxes) const {
    const ThemePalette& palette = themePalette(themeManager_);
    const PowerDestination& item = place.item;
    if (list::isRowEmphasised(item, highlightedId_, highlightedGroup_)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(withOpacity(palette.primaryText, kEmphasisOpacity));
        painter.drawRoundedRect(place.rect, kEmphasisCornerRadius, kEmphasisCornerRadius);
    }
    const QRectF inner = place.rect.adjusted(kRowPaddingX, kRowPaddingY, -kRowPaddingX, -kRowPaddingY);
    const double mid = inner.center().y();
    const QColor color = hexQColor(item.color);
    double x = inner.left();

    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(x, mid - kDotSide / 2, kDotSide, kDotSide));
    x += kDotSide + kRowSpacing;

    const QFont name = nameFont();
    painter.setFont(name);
    painter.setPen(palette.primaryText);
    Typography::drawLine(painter, QPointF(x, centredTop(name, mid)),
                         Typography::elided(name, QString::fromStdString(item.name), kNameWidth), boxes);
    x += kNameWidth + kRowSpacing;

    const QFont power = powerFont();
    const QString powerText = QString::fromStdString(list::rowPowerText(item.power));
    painter.setFont(power);
    painter.setPen(palette.secondaryText);
    Typography::drawLine(
        painter, QPointF(inner.right() - Typography::tabularWidth(power, powerText), centredTop(power, mid)),
        powerText, boxes, Typography::Digits::tabular);

    const double barRight = inner.right() - kPowerWidth - kRowSpacing;
    if (barRight > x) {
        paintShareBar(painter, QRectF(x, mid - kRowBarHeight / 2, barRight - x, kRowBarHeight),
                      list::rowBarFraction(item.power, model_.totalWatts), palette.trackColor, color);
    }
}

DetailListView::HoverTarget DetailListView::targetAt(QPointF position) const {
    for (const BlockPlace& place : places_) {
        if (place.header.contains(position)) return {place.group, std::nullopt};
        for (const RowPlace& row : place.rows) {
            if (row.rect.contains(position)) return {std::nullopt, row.item.id};
        }
    }
    return {};
}

void DetailListView::hoverTo(const HoverTarget& target) {
    if (target == hovered_) return;
    const HoverTarget previous = std::exchange(hovered_, target);
    content_->setCursor(target.group ? Qt::PointingHandCursor : Qt::ArrowCursor);
    // Leave before enter, so an owner that simply stores the last report ends on the new target.
    if (previous.id && onHoverItem) onHoverItem(std::nullopt);
    if (previous.group && onHoverGroup) onHoverGroup(std::nullopt);
    if (target.id && onHoverItem) onHoverItem(target.id);
    if (target.group && onHoverGroup) onHoverGroup(target.group);
}

}  // namespace joulemap
