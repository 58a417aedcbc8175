#include "MenuBarView.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "Accents.h"
#include "JoulemapViewModel.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Translations.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

using Typography::Weight;
namespace Model = MenuBarPanelModel;

constexpr SourceText kOpenMainWindow = JM_TR_NOOP("MenuBarView", "打开主窗口");
constexpr SourceText kQuit = JM_TR_NOOP("MenuBarView", "退出");

constexpr double kContentWidth = MenuBarView::kWidth - 2 * MenuBarView::kPadding;
// The panel sets its rows on a line box of the font size times this, not on the CJK face's
// taller default line spacing, so the compact rows keep the sizes they were drawn for.
constexpr double kLineFactor = 1.3;
constexpr double kHeaderLeftSpacing = 3;
constexpr double kPairSpacing = 2;
constexpr double kPillPaddingX = 7;
constexpr double kPillPaddingY = 2;
constexpr double kPillSymbolSpacing = 3;
constexpr double kPillOpacityDark = 0.2;
constexpr double kPillOpacityLight = 0.14;
constexpr double kBadgeSpacing = 1;
constexpr double kWarningPadding = 9;
constexpr double kWarningRadius = 7;
constexpr double kWarningSymbolSize = 14;
constexpr double kIconTextSpacing = 6;
constexpr double kHeaderToCard = 6;
constexpr double kCardPadding = 10;
constexpr double kCardRadius = 10;
constexpr double kRowSpacing = 6;
constexpr double kDotSide = 7;
constexpr double kNameWidth = 70;
constexpr double kPowerWidth = 42;
constexpr double kBarHeight = 5;
constexpr double kHealthPaddingY = 8;
constexpr double kHealthLineSpacing = 2;
constexpr double kHealthSymbolSize = 9;
constexpr double kAdviceSpacing = 7;
constexpr double kSectionTracking = 0.5;
constexpr int kFooterPaddingX = 14;
constexpr int kFooterPaddingY = 10;
constexpr double kFooterFontSize = 12;

double lineBox(double pixelSize) { return std::ceil(pixelSize * kLineFactor); }

// The baseline that centres a line of `font` in a box of `boxHeight` starting at `top`.
double baselineIn(double top, double boxHeight, const QFont& font) {
    const QFontMetricsF m(font);
    return top + (boxHeight - (m.ascent() + m.descent())) / 2 + m.ascent();
}

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QFont sectionFont() {
    QFont font = Typography::font(10, Weight::semibold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, kSectionTracking);
    return font;
}

}  // namespace

// The painted part. One pass computes the height (painter absent) and paints (painter present),
// so the two can never disagree.
class MenuBarView::Body : public QWidget {
public:
    explicit Body(MenuBarView& owner) : QWidget(&owner), owner_(owner) {}

    double run(QPainter* p) const;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        run(&p);
    }

private:
    double header(QPainter* p, double y) const;
    double usbWarning(QPainter* p, double y) const;
    double sectionTitle(QPainter* p, double y, std::string_view title) const;
    double flowCard(QPainter* p, double y) const;
    double healthCard(QPainter* p, double y) const;
    double advice(QPainter* p, double y) const;
    void card(QPainter* p, double y, double height) const;

    const ThemePalette& palette() const { return themePalette(owner_.theme_); }
    bool dark() const { return owner_.theme_ && owner_.theme_->resolvedTheme() == AppTheme::dark; }

    MenuBarView& owner_;
};

double MenuBarView::Body::run(QPainter* p) const {
    const Model::Panel& panel = owner_.panel_;
    double y = kPadding;
    y = header(p, y);
    if (panel.showUsbWarning) y = usbWarning(p, y + kSectionSpacing);
    y = sectionTitle(p, y + kSectionSpacing, Model::kFlowHeader.str());
    y = flowCard(p, y + kHeaderToCard);
    if (panel.health) {
        y = sectionTitle(p, y + kSectionSpacing, Model::kHealthHeader.str());
        y = healthCard(p, y + kHeaderToCard);
    }
    if (!panel.advice.empty()) y = advice(p, y + kSectionSpacing);
    return y + kPadding;
}

double MenuBarView::Body::header(QPainter* p, double y) const {
    const Model::Panel& panel = owner_.panel_;
    const ThemePalette& colors = palette();
    const QFont percentFont = Typography::font(34, Weight::bold);
    const QFont unitFont = Typography::font(16, Weight::medium);
    const QFont pillFont = Typography::font(11, Weight::medium);
    const double pairHeight = lineBox(34);
    const double pillHeight = lineBox(11) + 2 * kPillPaddingY;
    const double leftHeight = pairHeight + kHeaderLeftSpacing + pillHeight;
    const double badgeLine = lineBox(17);
    const double captionLine = lineBox(9.5);
    const double rightHeight = badgeLine + kBadgeSpacing + captionLine;
    const double rowHeight = std::max(leftHeight, rightHeight);
    if (!p) return y + rowHeight;

    // Charge and its unit on one baseline.
    const double leftTop = y + (rowHeight - leftHeight) / 2;
    const double pairBaseline = baselineIn(leftTop, pairHeight, percentFont);
    const QString percent = qs(panel.percent);
    p->setFont(percentFont);
    p->setPen(colors.primaryText);
    Typography::drawTabular(*p, QPointF(kPadding, pairBaseline), percent);
    p->setFont(unitFont);
    p->setPen(colors.secondaryText);
    // An unknown charge has no unit.
    if (panel.percent != Model::kUnknownFigure) {
        p->drawText(QPointF(kPadding + Typography::tabularWidth(percentFont, percent) + kPairSpacing, pairBaseline),
                    QStringLiteral("%"));
    }

    // The state pill under it.
    const QColor pillColor = hexQColor(panel.pill.colorHex);
    const QString pillLabel = qs(panel.pill.label);
    const double symbolSide = SymbolIcon::boxSide(9);
    const double pillWidth =
        2 * kPillPaddingX + symbolSide + kPillSymbolSpacing + QFontMetricsF(pillFont).horizontalAdvance(pillLabel);
    const QRectF pill(kPadding, leftTop + pairHeight + kHeaderLeftSpacing, pillWidth, pillHeight);
    p->setPen(Qt::NoPen);
    p->setBrush(withOpacity(pillColor, dark() ? kPillOpacityDark : kPillOpacityLight));
    p->drawRoundedRect(pill, pillHeight / 2, pillHeight / 2);
    SymbolIcon::draw(*p, QRectF(pill.left() + kPillPaddingX, pill.center().y() - symbolSide / 2, symbolSide, symbolSide),
                     panel.pill.symbol, pillColor);
    p->setFont(pillFont);
    p->setPen(pillColor);
    p->drawText(QPointF(pill.left() + kPillPaddingX + symbolSide + kPillSymbolSpacing,
                        baselineIn(pill.top(), pill.height(), pillFont)),
                pillLabel);

    // The net battery power badge, right-aligned: sign, magnitude and unit on one baseline.
    const QFont signFont = Typography::font(13, Weight::bold);
    const QFont valueFont = Typography::font(17, Weight::bold);
    const QFont wattFont = Typography::font(11);
    const QFont captionFont = Typography::font(9.5);
    const QColor badgeColor = panel.badge.colorHex.empty() ? colors.textTertiary : hexQColor(panel.badge.colorHex);
    const QString sign = qs(panel.badge.sign);
    const QString value = qs(panel.badge.magnitude);
    const QString watt = panel.badge.magnitude == Model::kUnknownFigure ? QString() : QStringLiteral("W");
    const double signWidth = QFontMetricsF(signFont).horizontalAdvance(sign);
    const double valueWidth = Typography::tabularWidth(valueFont, value);
    const double wattWidth = QFontMetricsF(wattFont).horizontalAdvance(watt);
    const double right = kPadding + kContentWidth;
    const double rightTop = y + (rowHeight - rightHeight) / 2;
    const double badgeBaseline = baselineIn(rightTop, badgeLine, valueFont);
    double x = right - wattWidth - kBadgeSpacing - valueWidth - kBadgeSpacing - signWidth;
    p->setPen(badgeColor);
    p->setFont(signFont);
    p->drawText(QPointF(x, badgeBaseline), sign);
    x += signWidth + kBadgeSpacing;
    p->setFont(valueFont);
    Typography::drawTabular(*p, QPointF(x, badgeBaseline), value);
    x += valueWidth + kBadgeSpacing;
    p->setFont(wattFont);
    p->drawText(QPointF(x, badgeBaseline), watt);
    p->setFont(captionFont);
    p->setPen(colors.textTertiary);
    p->drawText(QRectF(kPadding, rightTop + badgeLine + kBadgeSpacing, kContentWidth, captionLine),
                Qt::AlignRight | Qt::AlignVCenter, qs(panel.badge.caption));
    return y + rowHeight;
}

double MenuBarView::Body::usbWarning(QPainter* p, double y) const {
    const QFont font = Typography::font(10.5);
    const double symbolSide = SymbolIcon::boxSide(kWarningSymbolSize);
    const double textWidth = kContentWidth - 2 * kWarningPadding - symbolSide - kIconTextSpacing;
    const QString text = qs(Model::kUsbOutputWarning.str());
    const QRectF textBounds =
        QFontMetricsF(font).boundingRect(QRectF(0, 0, textWidth, 1e4), Qt::TextWordWrap, text);
    const double height = std::max(symbolSide, textBounds.height()) + 2 * kWarningPadding;
    if (!p) return y + height;
    const QColor orange = hexQColor(kAccentOrange);
    p->setPen(Qt::NoPen);
    p->setBrush(withOpacity(orange, palette().glowOpacity));
    p->drawRoundedRect(QRectF(kPadding, y, kContentWidth, height), kWarningRadius, kWarningRadius);
    SymbolIcon::draw(*p, QRectF(kPadding + kWarningPadding, y + (height - symbolSide) / 2, symbolSide, symbolSide),
                     Model::kUsbOutputSymbol, orange);
    p->setFont(font);
    p->setPen(palette().secondaryText);
    p->drawText(QRectF(kPadding + kWarningPadding + symbolSide + kIconTextSpacing, y + kWarningPadding, textWidth,
                       height - 2 * kWarningPadding),
                Qt::TextWordWrap | Qt::AlignVCenter | Qt::AlignLeft, text);
    return y + height;
}

double MenuBarView::Body::sectionTitle(QPainter* p, double y, std::string_view title) const {
    const double height = lineBox(10);
    if (p) {
        p->setFont(sectionFont());
        p->setPen(palette().textTertiary);
        p->drawText(QRectF(kPadding, y, kContentWidth, height), Qt::AlignLeft | Qt::AlignVCenter, qs(title).toUpper());
    }
    return y + height;
}

void MenuBarView::Body::card(QPainter* p, double y, double height) const {
    p->setPen(Qt::NoPen);
    p->setBrush(palette().cardBackground);
    p->drawRoundedRect(QRectF(kPadding, y, kContentWidth, height), kCardRadius, kCardRadius);
}

double MenuBarView::Body::flowCard(QPainter* p, double y) const {
    const Model::Panel& panel = owner_.panel_;
    const double rowHeight = lineBox(11);
    const double rows = double(Model::kFlowRows);
    const double height = 2 * kCardPadding + rowHeight + 2 * kRowSpacing + 1 + rows * rowHeight + (rows - 1) * kRowSpacing;
    if (!p) return y + height;
    const ThemePalette& colors = palette();
    card(p, y, height);

    const double left = kPadding + kCardPadding;
    const double right = kPadding + kContentWidth - kCardPadding;
    double rowTop = y + kCardPadding;
    auto dot = [&](const QString& hex, double top) {
        if (hex.isEmpty()) return;
        p->setPen(Qt::NoPen);
        p->setBrush(hexQColor(hex.toStdString()));
        p->drawEllipse(QRectF(left, top + (rowHeight - kDotSide) / 2, kDotSide, kDotSide));
    };

    // The source and the total it delivers.
    const QFont inputFont = Typography::font(11, Weight::semibold);
    const QFont totalFont = Typography::font(11, Weight::medium);
    const QString total = qs(panel.inputTotalText);
    const double totalWidth = Typography::tabularWidth(totalFont, total);
    dot(qs(panel.inputColorHex), rowTop);
    const double nameLeft = left + kDotSide + kIconTextSpacing;
    p->setFont(inputFont);
    p->setPen(colors.primaryText);
    const double nameRoom = right - totalWidth - kIconTextSpacing - nameLeft;
    p->drawText(QRectF(nameLeft, rowTop, nameRoom, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetricsF(inputFont).elidedText(qs(panel.inputName), Qt::ElideRight, nameRoom));
    p->setFont(totalFont);
    p->setPen(colors.secondaryText);
    Typography::drawTabular(*p, QPointF(right - totalWidth, baselineIn(rowTop, rowHeight, totalFont)), total);
    rowTop += rowHeight + kRowSpacing;
    p->fillRect(QRectF(left, rowTop, right - left, 1), colors.dividerColor);
    rowTop += 1 + kRowSpacing;

    const QFont nameFont = Typography::font(11);
    const QFont powerFont = Typography::font(10.5);
    const double barLeft = nameLeft + kNameWidth + kIconTextSpacing;
    const double barRight = right - kPowerWidth - kIconTextSpacing;
    for (const Model::FlowRow& row : panel.rows) {
        if (!row.placeholder) {
            dot(qs(row.colorHex), rowTop);
            p->setFont(nameFont);
            p->setPen(colors.primaryText);
            p->drawText(QRectF(nameLeft, rowTop, kNameWidth, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                        QFontMetricsF(nameFont).elidedText(qs(row.name), Qt::ElideRight, kNameWidth));
            const QRectF track(barLeft, rowTop + (rowHeight - kBarHeight) / 2, barRight - barLeft, kBarHeight);
            p->setPen(Qt::NoPen);
            p->setBrush(colors.trackColor);
            p->drawRoundedRect(track, kBarHeight / 2, kBarHeight / 2);
            if (row.fraction > 0) {
                p->setBrush(hexQColor(row.colorHex));
                QRectF filled = track;
                filled.setWidth(std::max(kBarHeight, track.width() * row.fraction));
                p->drawRoundedRect(filled, kBarHeight / 2, kBarHeight / 2);
            }
            const QString power = qs(row.powerText);
            p->setFont(powerFont);
            p->setPen(colors.textTertiary);
            Typography::drawTabular(
                *p, QPointF(right - Typography::tabularWidth(powerFont, power), baselineIn(rowTop, rowHeight, powerFont)),
                power);
        }
        rowTop += rowHeight + kRowSpacing;
    }
    return y + height;
}

double MenuBarView::Body::healthCard(QPainter* p, double y) const {
    const double valueLine = lineBox(13);
    const double captionLine = lineBox(9.5);
    const double height = 2 * kHealthPaddingY + valueLine + kHealthLineSpacing + captionLine;
    if (!p) return y + height;
    const ThemePalette& colors = palette();
    card(p, y, height);
    const QFont valueFont = Typography::font(13, Weight::semibold);
    const QFont captionFont = Typography::font(9.5);
    const double column = kContentWidth / 3;
    const double symbolSide = SymbolIcon::boxSide(kHealthSymbolSize);
    double left = kPadding;
    for (const Model::HealthFigure& figure : *owner_.panel_.health) {
        const QString value = qs(figure.value);
        p->setFont(valueFont);
        p->setPen(figure.valueColorHex ? hexQColor(*figure.valueColorHex) : colors.primaryText);
        const double valueWidth = Typography::tabularWidth(valueFont, value);
        Typography::drawTabular(
            *p, QPointF(left + (column - valueWidth) / 2, baselineIn(y + kHealthPaddingY, valueLine, valueFont)), value);
        const QString caption = qs(figure.caption);
        const double captionWidth = QFontMetricsF(captionFont).horizontalAdvance(caption);
        const double lineWidth = symbolSide + kPillSymbolSpacing + captionWidth;
        const double lineTop = y + kHealthPaddingY + valueLine + kHealthLineSpacing;
        const double x = left + (column - lineWidth) / 2;
        SymbolIcon::draw(*p, QRectF(x, lineTop + (captionLine - symbolSide) / 2, symbolSide, symbolSide), figure.symbol,
                         colors.textTertiary);
        p->setFont(captionFont);
        p->setPen(colors.textTertiary);
        p->drawText(QPointF(x + symbolSide + kPillSymbolSpacing, baselineIn(lineTop, captionLine, captionFont)), caption);
        left += column;
    }
    return y + height;
}

double MenuBarView::Body::advice(QPainter* p, double y) const {
    const QFont font = Typography::font(11);
    const QFontMetricsF metrics(font);
    const ThemePalette& colors = palette();
    bool first = true;
    for (const Model::AdviceRow& row : owner_.panel_.advice) {
        if (!first) y += kRowSpacing;
        first = false;
        const QString icon = qs(row.icon);
        const double iconWidth = metrics.horizontalAdvance(icon);
        const double textLeft = kPadding + iconWidth + kAdviceSpacing;
        const double textWidth = kPadding + kContentWidth - textLeft;
        const QString text = qs(row.text);
        const double height =
            std::max(lineBox(11), metrics.boundingRect(QRectF(0, 0, textWidth, 1e4), Qt::TextWordWrap, text).height());
        if (p) {
            p->setFont(font);
            p->setPen(colors.primaryText);
            p->drawText(QRectF(kPadding, y, iconWidth, lineBox(11)), Qt::AlignLeft | Qt::AlignVCenter, icon);
            p->setPen(row.colorHex ? hexQColor(*row.colorHex) : colors.primaryText);
            p->drawText(QRectF(textLeft, y, textWidth, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        }
        y += height;
    }
    return y;
}

MenuBarView::MenuBarView(JoulemapViewModel& model, ThemeManager& theme, QWidget* parent)
    : QWidget(parent), model_(&model), theme_(&theme) {
    setFixedWidth(kWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    noticeHolder_ = new QWidget(this);
    auto* noticeLayout = new QVBoxLayout(noticeHolder_);
    noticeLayout->setContentsMargins(kPadding, kPadding, kPadding, 0);
    noticeHolder_->hide();
    layout->addWidget(noticeHolder_);

    body_ = new Body(*this);
    layout->addWidget(body_);

    footer_ = new QWidget(this);
    auto* footerLayout = new QHBoxLayout(footer_);
    footerLayout->setContentsMargins(kFooterPaddingX, kFooterPaddingY, kFooterPaddingX, kFooterPaddingY);
    openButton_ = new QPushButton(Translations::text(kOpenMainWindow), footer_);
    quitButton_ = new QPushButton(Translations::text(kQuit), footer_);
    for (QPushButton* button : {openButton_, quitButton_}) {
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setFont(Typography::font(kFooterFontSize));
    }
    footerLayout->addWidget(openButton_);
    footerLayout->addStretch(1);
    footerLayout->addWidget(quitButton_);
    layout->addWidget(footer_);
    connect(openButton_, &QPushButton::clicked, this, &MenuBarView::openMainWindowRequested);
    connect(quitButton_, &QPushButton::clicked, this, &MenuBarView::quitRequested);

    for (auto signal : {&JoulemapViewModel::batteryChanged, &JoulemapViewModel::flowChanged,
                        &JoulemapViewModel::advicesChanged, &JoulemapViewModel::hasBatteryChanged}) {
        connect(model_, signal, this, &MenuBarView::rebuild);
    }
    connect(theme_, &ThemeManager::themeChanged, this, &MenuBarView::applyTheme);
    rebuild();
    applyTheme();
}

int MenuBarView::bodyHeight() const { return int(std::ceil(body_->run(nullptr))); }

void MenuBarView::setUpdateNotice(QWidget* notice) {
    if (notice_ == notice) return;
    if (notice_) {
        notice_->removeEventFilter(this);
        delete notice_;
    }
    notice_ = notice;
    if (notice_) {
        noticeHolder_->layout()->addWidget(notice_);
        notice_->installEventFilter(this);
    }
    syncNoticeHolder();
}

bool MenuBarView::eventFilter(QObject* watched, QEvent* event) {
    // The notice shows and hides itself; the holder (and its top padding) follows it.
    if (watched == notice_ && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
        syncNoticeHolder();
    }
    return QWidget::eventFilter(watched, event);
}

void MenuBarView::syncNoticeHolder() {
    noticeHolder_->setVisible(notice_ && !notice_->isHidden());
    adjustSize();
}

void MenuBarView::rebuild() {
    if (!model_) return;
    panel_ = MenuBarPanelModel::panel(model_->battery(), model_->flow(), model_->hasBattery(), model_->advices());
    body_->setFixedHeight(bodyHeight());
    body_->update();
    adjustSize();
}

void MenuBarView::applyTheme() {
    const ThemePalette& colors = themePalette(theme_);
    const QString style = QStringLiteral("QPushButton { border: none; background: transparent; padding: 0; color: %1; }");
    openButton_->setStyleSheet(style.arg(colors.primaryText.name(QColor::HexArgb)));
    quitButton_->setStyleSheet(style.arg(colors.secondaryText.name(QColor::HexArgb)));
    update();
    body_->update();
}

void MenuBarView::paintEvent(QPaintEvent*) {
    const ThemePalette& colors = themePalette(theme_);
    QPainter p(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, colors.backgroundColors.value(0));
    gradient.setColorAt(1, colors.backgroundColors.value(1, colors.backgroundColors.value(0)));
    p.fillRect(rect(), gradient);
    p.fillRect(QRect(0, footer_->y() - 1, width(), 1), colors.dividerColor);
}

}  // namespace joulemap
