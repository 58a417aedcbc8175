#include "HistoryVersionCard.h"

#include "ChangelogBlocks.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace joulemap {

namespace {
constexpr std::string_view kChevronOpen = "chevron.down";
constexpr std::string_view kChevronClosed = "chevron.right";
using namespace ChangelogBlocks;
}  // namespace

HistoryVersionCard::HistoryVersionCard(ChangelogData::Version version, bool isCurrent, ThemeManager* theme,
                                       QWidget* parent)
    : QWidget(parent),
      version_(std::move(version)),
      isCurrent_(isCurrent),
      theme_(theme),
      animation_(new QVariantAnimation(this)) {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    animation_->setDuration(kAnimationMs);
    animation_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        openness_ = value.toDouble();
        updateGeometry();
        update();
    });
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
}

AppTheme HistoryVersionCard::resolvedTheme() const { return theme_ ? theme_->resolvedTheme() : AppTheme::light; }

void HistoryVersionCard::setExpanded(bool expanded) {
    if (expanded == expanded_) return;
    expanded_ = expanded;
    animation_->stop();
    animation_->setStartValue(openness_);
    animation_->setEndValue(expanded ? 1.0 : 0.0);
    animation_->start();
}

QRectF HistoryVersionCard::headerRect() const {
    const double header = versionHeader(nullptr, version_, isCurrent_, resolvedTheme(), {}, width());
    return {0, 0, double(width()), kCardPadding + header + kHeaderToDetails / 2};
}

QSize HistoryVersionCard::sizeHint() const { return {500, heightForWidth(500)}; }

QSize HistoryVersionCard::minimumSizeHint() const { return {200, heightForWidth(200)}; }

int HistoryVersionCard::heightForWidth(int width) const { return static_cast<int>(std::ceil(layOut(width, nullptr))); }

void HistoryVersionCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ThemePalette& colors = joulemap::palette(resolvedTheme());
    const QColor outline = expanded_ ? withOpacity(colors.textTertiary, kExpandedOutlineOpacity) : colors.cardStroke;
    paintCard(painter, rect(), resolvedTheme(), outline);
    painter.setClipRect(rect());
    layOut(width(), &painter);
}

double HistoryVersionCard::layOut(double width, QPainter* painter) const {
    const AppTheme theme = resolvedTheme();
    const double left = kCardPadding;
    const double contentWidth = std::max(width - 2 * kCardPadding, 1.0);
    const double chevronBox = SymbolIcon::boxSide(kChevronSize);
    const double headerLeft = left + chevronBox + kChevronGap;
    double y = kCardPadding;
    const double header = versionHeader(painter, version_, isCurrent_, theme, {headerLeft, y}, contentWidth - chevronBox - kChevronGap);
    if (painter) {
        SymbolIcon::draw(*painter, QRectF(left, y + (header - chevronBox) / 2, chevronBox, chevronBox),
                         expanded_ ? kChevronOpen : kChevronClosed, joulemap::palette(theme).textTertiary);
    }
    y += header;
    if (openness_ > 0) {
        const double details = versionDetails(painter, version_, theme, {left, y + kHeaderToDetails}, contentWidth);
        y += openness_ * (kHeaderToDetails + details);
    }
    return y + kCardPadding;
}

void HistoryVersionCard::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && headerRect().contains(event->position())) setExpanded(!expanded_);
    QWidget::mouseReleaseEvent(event);
}

void HistoryVersionCard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setExpanded(!expanded_);
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace joulemap
