#include "SankeyBoard.h"

#include <QPainter>

#include "CardFrame.h"
#include "FlowTooltip.h"
#include "SankeyView.h"
#include "ThemeManager.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr QSize kPreferredSize{560, 400};

}  // namespace

SankeyBoard::SankeyBoard(QWidget* parent)
    : QWidget(parent), sankey_(new SankeyView(this)), tooltip_(new FlowTooltip(this)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    tooltip_->raise();
}

void SankeyBoard::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) connect(manager, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
    sankey_->setThemeManager(manager);
    tooltip_->setThemeManager(manager);
    update();
}

void SankeyBoard::placeTooltip() {
    // The widget reaches past its card by the shadow margin, so the card itself lands at the inset.
    const QSize size = tooltip_->size();
    tooltip_->move(width() - kTooltipInset - size.width() + FlowTooltip::kShadowMargin,
                   kTooltipInset - FlowTooltip::kShadowMargin);
}

QSize SankeyBoard::minimumSizeHint() const {
    return sankey_->minimumSizeHint() + QSize(2 * kPadding, 2 * kPadding);
}

QSize SankeyBoard::sizeHint() const { return kPreferredSize; }

void SankeyBoard::resizeEvent(QResizeEvent*) {
    sankey_->setGeometry(rect().adjusted(kPadding, kPadding, -kPadding, -kPadding));
    placeTooltip();
}

void SankeyBoard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCardFrame(p, QRectF(rect()), themePalette(themeManager_));
}

}  // namespace joulemap
