#include "MainView.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QShowEvent>
#include <QVBoxLayout>

#include "Accents.h"
#include "BatteryHealthView.h"
#include "DetailListView.h"
#include "FlowTooltip.h"
#include "JoulemapViewModel.h"
#include "MainHeader.h"
#include "SankeyBoard.h"
#include "SankeyView.h"
#include "SidePanel.h"
#include "StatCard.h"
#include "SystemInfoService.h"
#include "SystemInfoView.h"
#include "ThemeManager.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr int kCardSpacing = 12;
// Tighter than the card row: at the first-start size the destination list, the health card and
// the device card must all fit beside the diagram.
constexpr int kSidePanelSpacing = 10;

// The two glows of the background: green from above the top-left corner, cyan from below the
// bottom-right one, positioned in units of the view's size and sized in pixels.
constexpr QPointF kGreenGlowCentre{0.12, -0.08};
constexpr double kGreenGlowRadius = 500;
constexpr QPointF kCyanGlowCentre{0.92, 1.1};
constexpr double kCyanGlowRadius = 400;
constexpr double kCyanGlowStrength = 0.7;  // of the theme's glow opacity

std::size_t cardIndex(MainViewModel::CardHistory history) {
    switch (history) {
        case MainViewModel::CardHistory::input:
            return 0;
        case MainViewModel::CardHistory::batteryPercent:
            return 1;
        case MainViewModel::CardHistory::system:
            return 2;
        case MainViewModel::CardHistory::net:
            return 3;
    }
    return 0;
}

const std::vector<double>& historyOf(const JoulemapViewModel& model, MainViewModel::CardHistory history) {
    switch (history) {
        case MainViewModel::CardHistory::batteryPercent:
            return model.histPct();
        case MainViewModel::CardHistory::system:
            return model.histSystem();
        case MainViewModel::CardHistory::net:
            return model.histNet();
        case MainViewModel::CardHistory::input:
            break;
    }
    return model.histInput();
}

void fillGlow(QPainter& p, const QRectF& area, QPointF unitCentre, double radius, const QColor& color) {
    const QPointF centre(area.width() * unitCentre.x(), area.height() * unitCentre.y());
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0, color);
    gradient.setColorAt(1, withOpacity(color, 0));
    p.fillRect(area, gradient);
}

}  // namespace

MainView::MainView(JoulemapViewModel& model, ThemeManager& themeManager, SystemInfoService& systemInfo,
                   QWidget* parent)
    : QWidget(parent), model_(&model), themeManager_(&themeManager), systemInfo_(&systemInfo) {
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    // The background image covers every exposed pixel, so the window's own fill under it is wasted.
    setAttribute(Qt::WA_OpaquePaintEvent);

    header_ = new MainHeader(this);
    header_->setThemeManager(&themeManager);

    auto* cardRow = new QHBoxLayout;
    cardRow->setSpacing(kCardSpacing);
    for (StatCard*& card : cards_) {
        card = new StatCard(this);
        card->setThemeManager(&themeManager);
        cardRow->addWidget(card);
    }

    board_ = new SankeyBoard(this);
    board_->setThemeManager(&themeManager);
    SankeyView* sankey = board_->sankeyView();
    sankey->onHover = [this](const std::optional<std::string>& id) {
        changeHighlight([&](MainViewModel::HighlightState& state) { state.onSankeyHover(id); });
    };
    sankey->onSelect = [this](const std::optional<std::string>& id) {
        changeHighlight([&](MainViewModel::HighlightState& state) { state.onSankeySelect(id); });
    };

    detailList_ = new DetailListView(this);
    detailList_->setThemeManager(&themeManager);
    detailList_->setCollapsed({});
    detailList_->onHoverItem = [this](const std::optional<std::string>& id) {
        changeHighlight([&](MainViewModel::HighlightState& state) { state.onListHoverItem(id); });
    };
    detailList_->onHoverGroup = [this](const std::optional<PowerGroup>& group) {
        changeHighlight([&](MainViewModel::HighlightState& state) { state.onListHoverGroup(group); });
    };
    healthView_ = new BatteryHealthView(this);
    healthView_->setThemeManager(&themeManager);
    systemInfoView_ = new SystemInfoView(&systemInfo, &themeManager, this);

    sidePanel_ = new SidePanel(kSidePanelSpacing, this);
    sidePanel_->setFixedWidth(kSidePanelWidth);
    sidePanel_->setCards({detailList_, healthView_, systemInfoView_});

    auto* boardRow = new QHBoxLayout;
    boardRow->setSpacing(kBoardSpacing);
    boardRow->addWidget(board_, 1);
    boardRow->addWidget(sidePanel_);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kSpacing);
    column->addWidget(header_);
    column->addLayout(cardRow);
    column->addLayout(boardRow, 1);

    connect(&model, &JoulemapViewModel::flowChanged, this, &MainView::applyFlow);
    connect(&model, &JoulemapViewModel::batteryChanged, this, &MainView::applyBattery);
    connect(&model, &JoulemapViewModel::hasBatteryChanged, this, &MainView::applyBattery);
    connect(&model, &JoulemapViewModel::historiesChanged, this, &MainView::updateCards);
    connect(&model, &JoulemapViewModel::lastUpdatedChanged, this,
            [this] { header_->setLastUpdated(model_->lastUpdated()); });
    // The time estimate and the activity flag have no signal of their own; both settle by the end
    // of a refresh.
    connect(&model, &JoulemapViewModel::refreshed, this, [this] {
        updateCards();
        syncAnimation();
    });
    connect(&themeManager, &ThemeManager::themeChanged, this, [this] {
        invalidateBackground();
        update();
    });

    networkTimer_.setInterval(kNetworkRefreshMs);
    connect(&networkTimer_, &QTimer::timeout, this, [this] {
        if (systemInfo_) systemInfo_->refreshNetwork();
    });

    header_->setLastUpdated(model.lastUpdated());
    applyFlow();
    applyBattery();
    syncAnimation();
}

MainView::~MainView() = default;

SankeyView* MainView::sankeyView() const { return board_->sankeyView(); }

FlowTooltip* MainView::tooltip() const { return board_->tooltip(); }

void MainView::applyFlow() {
    const JoulemapData& flow = model_->flow();
    board_->sankeyView()->setData(flow);
    detailList_->setDestinations(flow.destinations);
    // A destination that left the flow loses its tooltip but stays highlighted: it may come back.
    board_->tooltip()->setContent(MainViewModel::tooltip(flow, highlight_.id));
    board_->placeTooltip();
    updateCards();
}

void MainView::applyBattery() {
    const bool hasBattery = model_->hasBattery();
    healthView_->setBattery(model_->battery());
    healthView_->setVisible(hasBattery);
    updateCards();
}

void MainView::updateCards() {
    const JoulemapViewModel& model = *model_;
    const auto contents = MainViewModel::statCards(model.flow(), model.battery(), model.hasBattery(),
                                                   model.batteryTimeEstimate().toStdString());
    std::array<bool, 4> shown{};
    for (const MainViewModel::StatCardContent& content : contents) {
        const std::size_t index = cardIndex(content.history);
        StatCard* card = cards_[index];
        shown[index] = true;
        card->setTitle(QString::fromStdString(content.title));
        card->setValue(QString::fromStdString(content.value));
        card->setUnit(QString::fromStdString(content.unit));
        card->setColor(hexQColor(content.colorHex));
        card->setUseThemeValueColor(content.useThemeValueColor);
        card->setSubtitle(QString::fromStdString(content.subtitle));
        card->setHistory(historyOf(model, content.history), content.maxHistory);
    }
    for (std::size_t i = 0; i < cards_.size(); ++i) cards_[i]->setVisible(shown[i]);
}

std::vector<PlacedTextBox> MainView::textBoxes() const {
    std::vector<PlacedTextBox> placed;
    const auto add = [&](const QWidget* widget, const TextBoxes& boxes, const QRectF& frame,
                         const QString& card, int layer) {
        const QPointF offset = widget->mapTo(this, QPoint(0, 0));
        for (const TextBox& box : boxes) {
            placed.push_back({{box.rect.translated(offset), box.text}, frame, card, layer});
        }
    };
    const auto frameOf = [this](const QWidget* widget) {
        return QRectF(widget->mapTo(this, QPoint(0, 0)), QSizeF(widget->size()));
    };

    add(header_, header_->textBoxes(), frameOf(header_), QStringLiteral("header"), 0);
    for (const StatCard* card : cards_) {
        if (!card->isHidden()) add(card, card->textBoxes(), frameOf(card), card->title(), 0);
    }
    SankeyView* sankey = board_->sankeyView();
    add(sankey, sankey->textBoxes(), frameOf(board_), QStringLiteral("diagram"), 0);
    const FlowTooltip* tooltip = board_->tooltip();
    if (tooltip->isVisible() && tooltip->content()) {
        const QRectF card = tooltip->cardRect().translated(tooltip->mapTo(this, QPoint(0, 0)));
        add(tooltip, tooltip->textBoxes(), card, QStringLiteral("tooltip"), 1);
    }

    // The side panel's cards are taken whole, also where the panel has scrolled them out of view.
    add(detailList_, detailList_->textBoxes(), frameOf(detailList_), QStringLiteral("destinations"), 0);
    if (!healthView_->isHidden()) {
        add(healthView_, healthView_->textBoxes(), frameOf(healthView_), QStringLiteral("health"), 0);
    }
    add(systemInfoView_, systemInfoView_->textBoxes(), frameOf(systemInfoView_), QStringLiteral("device"), 0);
    return placed;
}

void MainView::changeHighlight(const std::function<void(MainViewModel::HighlightState&)>& change) {
    // Pointer moves report the same destination many times a second; only a change is passed on.
    const MainViewModel::HighlightState before = highlight_;
    change(highlight_);
    if (highlight_ != before) applyHighlight();
}

void MainView::applyHighlight() {
    board_->sankeyView()->setHighlight(highlight_.id, highlight_.group);
    detailList_->setHighlight(highlight_.id, highlight_.group);
    board_->tooltip()->setContent(MainViewModel::tooltip(model_->flow(), highlight_.id));
    board_->placeTooltip();
}

void MainView::syncAnimation() { board_->sankeyView()->setAnimationActive(model_->isActive()); }

void MainView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Restoring a minimised window is not a new appearance; the start-up calls run on real shows only.
    if (!event->spontaneous()) {
        model_->bootstrap();
        systemInfo_->loadAsync();
        systemInfo_->refreshNetwork();
    }
    // Measuring the network for a window nobody sees would only cost power, so the timer runs
    // while the view is on screen.
    networkTimer_.start();
    syncAnimation();
    // The window's owner may mark the model active only after its children were shown.
    QTimer::singleShot(0, this, &MainView::syncAnimation);
}

void MainView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    networkTimer_.stop();
    syncAnimation();
}

void MainView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    invalidateBackground();
}

void MainView::invalidateBackground() { background_ = QPixmap(); }

const QPixmap& MainView::background() {
    const qreal dpr = devicePixelRatioF();
    if (!background_.isNull()) return background_;
    background_ = QPixmap((QSizeF(size()) * dpr).toSize());
    background_.setDevicePixelRatio(dpr);

    const ThemePalette& palette = themePalette(themeManager_);
    const QRectF area(QPointF(0, 0), QSizeF(size()));
    QPainter p(&background_);
    QLinearGradient vertical(area.topLeft(), area.bottomLeft());
    const qsizetype stops = palette.backgroundColors.size();
    for (qsizetype i = 0; i < stops; ++i) {
        vertical.setColorAt(stops > 1 ? double(i) / double(stops - 1) : 0, palette.backgroundColors[i]);
    }
    p.fillRect(area, palette.backgroundColors.isEmpty() ? QBrush(Qt::black) : QBrush(vertical));
    fillGlow(p, area, kGreenGlowCentre, kGreenGlowRadius,
             withOpacity(hexQColor(kAccentGreen), palette.glowOpacity));
    fillGlow(p, area, kCyanGlowCentre, kCyanGlowRadius,
             withOpacity(hexQColor(kAccentCyan), kCyanGlowStrength * palette.glowOpacity));
    return background_;
}

void MainView::paintEvent(QPaintEvent* event) {
    if (!background_.isNull() && background_.devicePixelRatio() != devicePixelRatioF())
        invalidateBackground();
    QPainter p(this);
    // Only the exposed part: the diagram repaints many times a second and uncovers the background under it.
    const QRectF exposed = event->rect();
    const qreal dpr = background().devicePixelRatio();
    p.drawPixmap(exposed, background_, QRectF(exposed.topLeft() * dpr, exposed.size() * dpr));
}

}  // namespace joulemap
