#include "HistoryCard.h"

#include "CardFrame.h"
#include "HistoryColors.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Typography.h"

#include <QPainter>

#include <cmath>

namespace joulemap {

namespace {
constexpr int kHintWidth = 600;
constexpr int kMinimumWidth = 300;
}  // namespace

HistoryCard::HistoryCard(ThemeManager* theme, QWidget* parent) : QWidget(parent), theme_(theme) {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
}

QSize HistoryCard::sizeHint() const { return {kHintWidth, heightForWidth(kHintWidth)}; }

QSize HistoryCard::minimumSizeHint() const { return {kMinimumWidth, heightForWidth(kMinimumWidth)}; }

int HistoryCard::heightForWidth(int width) const { return static_cast<int>(std::ceil(layOut(width, nullptr))); }

void HistoryCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintCardFrame(painter, rect(), joulemap::palette(resolvedTheme()), kCornerRadius);
    layOut(width(), &painter);
}

AppTheme HistoryCard::resolvedTheme() const { return theme_ ? theme_->resolvedTheme() : AppTheme::light; }

double HistoryCard::drawTitle(QPainter* painter, std::string_view symbol, const QString& title) const {
    const QFont titleFont = Typography::font(kTitleFontSize, Typography::Weight::semibold);
    const double titleHeight = Typography::lineHeight(titleFont);
    if (painter) {
        const AppTheme resolved = resolvedTheme();
        const double side = SymbolIcon::boxSide(kSymbolSize);
        SymbolIcon::draw(*painter, QRectF(kPadding, kPadding + (titleHeight - side) / 2, side, side), symbol,
                         HistoryColors::secondaryText(resolved));
        painter->setFont(titleFont);
        painter->setPen(HistoryColors::primaryText(resolved));
        painter->drawText(QPointF(kPadding + side + kSymbolGap, kPadding + Typography::ascent(titleFont)), title);
    }
    return kPadding + titleHeight + kTitleSpacing;
}

}  // namespace joulemap
