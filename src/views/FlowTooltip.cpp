#include "FlowTooltip.h"

#include "ImageBlur.h"

#include <QEasingCurve>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

#include <algorithm>
#include <cmath>

#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr double kPaddingX = 12;
constexpr double kPaddingY = 9;
constexpr double kLineSpacing = 5;
constexpr double kIconSpacing = 6;
// A long application name is elided rather than stretching the card across the diagram.
constexpr double kMaxNameWidth = 220;
constexpr double kUnitSpacing = 2;
constexpr double kCornerRadius = 10;
// The card must stay readable over the bands, so it is nearly opaque.
constexpr double kBackgroundOpacity = 0.94;
constexpr double kShadowOpacity = 0.1;
constexpr double kShadowOffsetY = 3;
// A soft shadow about 8 wide on each side.
constexpr double kShadowBlurSigma = 4.5;

QFont nameFont() { return Typography::font(13, Typography::Weight::semibold); }
QFont powerFont() { return Typography::font(18, Typography::Weight::bold); }
QFont unitFont() { return Typography::font(11); }
QFont shareFont() { return Typography::font(11); }
QFont groupFont() { return Typography::font(10); }

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

struct FlowTooltip::Metrics {
    QSizeF card;
    double nameLine = 0;
    double powerLine = 0;
    double shareLine = 0;
    double groupLine = 0;
};

FlowTooltip::FlowTooltip(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    transition_.setDuration(kTransitionMs);
    transition_.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&transition_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        presence_ = value.toDouble();
        update();
    });
    connect(&transition_, &QVariantAnimation::finished, this, [this] {
        if (presence_ <= 0) hide();
    });
    hide();
}

void FlowTooltip::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) connect(manager, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
    update();
}

void FlowTooltip::setContent(const std::optional<MainViewModel::TooltipContent>& content) {
    if (content == content_) return;
    content_ = content;
    if (content) {
        shown_ = *content;
        resize(sizeHint());
        refreshShadow();
        show();
        animateTo(1);
    } else {
        animateTo(0);
    }
    update();
}

void FlowTooltip::animateTo(double presence) {
    if (transition_.state() == QAbstractAnimation::Running && transition_.endValue().toDouble() == presence)
        return;
    transition_.stop();
    if (presence_ == presence) {
        if (presence <= 0) hide();
        return;
    }
    // From wherever an interrupted transition left off, so a quick in-and-out does not jump.
    transition_.setStartValue(presence_);
    transition_.setEndValue(presence);
    transition_.setDuration(static_cast<int>(std::ceil(kTransitionMs * std::abs(presence - presence_))));
    transition_.start();
}

FlowTooltip::Metrics FlowTooltip::measure() const {
    const QFontMetricsF name(nameFont());
    const QFontMetricsF share(shareFont());
    const QFontMetricsF group(groupFont());
    const QFontMetricsF unit(unitFont());

    const double nameWidth = name.horizontalAdvance(qs(shown_.icon)) + kIconSpacing +
                             std::min(kMaxNameWidth, name.horizontalAdvance(qs(shown_.name)));
    const double powerWidth = Typography::tabularWidth(powerFont(), qs(shown_.powerText)) + kUnitSpacing +
                              unit.horizontalAdvance(QString::fromUtf8(MainViewModel::kTooltipUnit.data(),
                                                                       MainViewModel::kTooltipUnit.size()));
    const double contentWidth =
        std::max({nameWidth, powerWidth, share.horizontalAdvance(qs(shown_.shareText)),
                  group.horizontalAdvance(qs(shown_.groupText))});

    Metrics m;
    m.nameLine = Typography::lineHeight(nameFont());
    m.powerLine = Typography::lineHeight(powerFont());
    m.shareLine = Typography::lineHeight(shareFont());
    m.groupLine = Typography::lineHeight(groupFont());
    m.card = {
        std::ceil(contentWidth + 2 * kPaddingX),
        std::ceil(m.nameLine + m.powerLine + m.shareLine + m.groupLine + 3 * kLineSpacing + 2 * kPaddingY)};
    return m;
}

QSize FlowTooltip::sizeHint() const {
    const QSizeF card = measure().card;
    return {static_cast<int>(card.width()) + 2 * kShadowMargin,
            static_cast<int>(card.height()) + 2 * kShadowMargin};
}

void FlowTooltip::refreshShadow() {
    const qreal dpr = devicePixelRatioF();
    if (!shadow_.isNull() && shadowSize_ == size() && shadowDevicePixelRatio_ == dpr) return;
    shadowSize_ = size();
    shadowDevicePixelRatio_ = dpr;
    shadow_ = QImage((QSizeF(size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    shadow_.setDevicePixelRatio(dpr);
    shadow_.fill(Qt::transparent);
    {
        QPainter p(&shadow_);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        const QRectF card =
            QRectF(rect()).adjusted(kShadowMargin, kShadowMargin, -kShadowMargin, -kShadowMargin);
        p.drawRoundedRect(card, kCornerRadius, kCornerRadius);
    }
    gaussianBlur(shadow_, kShadowBlurSigma * dpr);
}

void FlowTooltip::paintEvent(QPaintEvent*) {
    if (presence_ <= 0) return;
    refreshShadow();
    const ThemePalette& palette = themePalette(themeManager_);
    const Metrics m = measure();
    const QRectF card(kShadowMargin, kShadowMargin, m.card.width(), m.card.height());

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(presence_);
    // Grows from its centre, as a popover does.
    const double scale = kStartScale + (1 - kStartScale) * presence_;
    p.translate(card.center());
    p.scale(scale, scale);
    p.translate(-card.center());

    p.save();
    p.setOpacity(presence_ * kShadowOpacity);
    p.drawImage(QPointF(0, kShadowOffsetY), shadow_);
    p.restore();

    const QColor background =
        palette.backgroundColors.isEmpty() ? QColor(Qt::white) : palette.backgroundColors.front();
    p.setPen(QPen(palette.cardStroke, 1));
    p.setBrush(withOpacity(background, kBackgroundOpacity));
    p.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);

    paintTexts(p, card, m, nullptr);
}

QRectF FlowTooltip::cardRect() const {
    const QSizeF card = measure().card;
    return {double(kShadowMargin), double(kShadowMargin), card.width(), card.height()};
}

TextBoxes FlowTooltip::textBoxes() const {
    if (!content_) return {};
    QPicture picture;
    QPainter painter(&picture);
    TextBoxes boxes;
    paintTexts(painter, cardRect(), measure(), &boxes);
    return boxes;
}

void FlowTooltip::paintTexts(QPainter& p, const QRectF& card, const Metrics& m, TextBoxes* boxes) const {
    const ThemePalette& palette = themePalette(themeManager_);
    const double x = card.left() + kPaddingX;
    double top = card.top() + kPaddingY;

    p.setFont(nameFont());
    p.setPen(palette.primaryText);
    const double nameX =
        Typography::drawLine(p, QPointF(x, top), qs(shown_.icon), boxes).right() + kIconSpacing;
    Typography::drawLine(p, QPointF(nameX, top),
                         Typography::elided(nameFont(), qs(shown_.name), kMaxNameWidth), boxes);
    top += m.nameLine + kLineSpacing;

    const double powerBaseline = top + Typography::ascent(powerFont());
    p.setFont(powerFont());
    p.setPen(hexQColor(shown_.colorHex));
    const double unitX =
        Typography::drawLine(p, QPointF(x, top), qs(shown_.powerText), boxes, Typography::Digits::tabular)
            .right() +
        kUnitSpacing;
    p.setFont(unitFont());
    p.setPen(palette.textTertiary);
    Typography::drawLine(
        p, QPointF(unitX, powerBaseline - Typography::ascent(unitFont())),
        QString::fromUtf8(MainViewModel::kTooltipUnit.data(), MainViewModel::kTooltipUnit.size()), boxes);
    top += m.powerLine + kLineSpacing;

    p.setFont(shareFont());
    p.setPen(palette.secondaryText);
    Typography::drawLine(p, QPointF(x, top), qs(shown_.shareText), boxes);
    top += m.shareLine + kLineSpacing;

    p.setFont(groupFont());
    p.setPen(palette.textTertiary);
    Typography::drawLine(p, QPointF(x, top), qs(shown_.groupText), boxes);
}

}  // namespace joulemap
