#include "MainHeader.h"

#include <QLocale>
#include <QPainter>
#include <QPicture>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

#include "Accents.h"
#include "NotificationHub.h"
#include "SymbolButton.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Translations.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr SourceText kTitle = JM_TR_NOOP("MainHeader", "焦图");
constexpr SourceText kTagline = JM_TR_NOOP("MainHeader", "让每一度电都被看见");
constexpr SourceText kLiveText = JM_TR_NOOP("MainHeader", "实时");
constexpr SourceText kUpdatedPrefix = JM_TR_NOOP("MainHeader", "更新于 ");
const char* const kLogoResource = ":/logo.png";

constexpr double kRowSpacing = 10;
constexpr double kTitleSpacing = 2;  // title to tagline
constexpr double kDotSpacing = 4;    // live dot to its word
constexpr double kTimeSpacing = 6;   // live indicator to the update time
constexpr double kDotSide = 8;
constexpr double kDotGlowRadius = 8;
constexpr double kDotGlowOpacity = 0.55;
constexpr double kNoticeGap = 18;  // title block to the notice
constexpr double kNoticePaddingX = 10;
constexpr double kNoticePaddingY = 4;
constexpr double kNoticeSymbolSize = 12;
constexpr double kNoticeSymbolSpacing = 5;
// The tint alone is faint on the light background; a thin edge in the same colour holds the shape.
constexpr double kNoticeEdgeOpacity = 0.45;
const char* const kNoticeSymbol = "info.circle";

struct HeaderButton {
    const char* symbol;
    SourceText help;
    const char* notification;
};

constexpr std::array<HeaderButton, 3> kButtons{{
    {"chart.xyaxis.line", JM_TR_NOOP("MainHeader", "历史趋势"), NotificationHub::kShowHistoryWindow},
    {"list.bullet.rectangle.portrait", JM_TR_NOOP("MainHeader", "更新日志"), NotificationHub::kShowChangelogWindow},
    {"gearshape", JM_TR_NOOP("MainHeader", "设置"), NotificationHub::kShowSettingsWindow},
}};

QFont titleFont() { return Typography::font(20, Typography::Weight::semibold); }
QFont taglineFont() { return Typography::font(10); }
QFont liveFont() { return Typography::font(11.5); }
QFont timeFont() { return Typography::font(10.5); }
QFont noticeFont() { return Typography::font(12, Typography::Weight::medium); }

double titleBlockHeight() {
    return Typography::lineHeight(titleFont()) + kTitleSpacing + Typography::lineHeight(taglineFont());
}

}  // namespace

MainHeader::MainHeader(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const HeaderButton button = kButtons[i];
        buttons_[i] = new SymbolButton(button.symbol, Translations::text(button.help), this);
        connect(buttons_[i], &SymbolButton::clicked, this, [name = QString::fromLatin1(button.notification)] {
            NotificationHub::instance().post(name);
        });
    }
    // The development tree's copy is not looked for: the logo is compiled into the program.
    logoSource_ = QImage(QString::fromLatin1(kLogoResource));
    placeButtons();
}

void MainHeader::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) connect(manager, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
    for (SymbolButton* button : buttons_) button->setThemeManager(manager);
    update();
}

void MainHeader::setLastUpdated(const QDateTime& lastUpdated) {
    if (lastUpdated == lastUpdated_) return;
    lastUpdated_ = lastUpdated;
    update();
}

QString MainHeader::updatedText() const {
    return Translations::text(kUpdatedPrefix) + formatTime(lastUpdated_);
}

QString MainHeader::formatTime(const QDateTime& time) {
    // The long format is the one that always has seconds; it also names the time zone, which a
    // clock reading on screen does not need, so its "t" is dropped (quoted text is kept as is).
    const QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        withoutZone += c;
    }
    return QLocale::system().toString(time.time(), withoutZone.simplified());
}

const QPixmap& MainHeader::logoAt(qreal devicePixelRatio) const {
    const int side = static_cast<int>(std::lround(kLogoSide * devicePixelRatio));
    if (logoSource_.isNull() || (logo_.width() == side && logo_.devicePixelRatio() == devicePixelRatio)) return logo_;
    // Shrunk once by averaging: a painter scaling the pixmap samples a few source points per pixel,
    // and a picture many times larger than its place then shows stepped edges and broken bands.
    logo_ = QPixmap::fromImage(logoSource_.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    logo_.setDevicePixelRatio(devicePixelRatio);
    return logo_;
}

QSize MainHeader::sizeHint() const {
    const double height = std::max({double(kLogoSide), titleBlockHeight(), double(SymbolButton::kSide)});
    return {900, static_cast<int>(std::ceil(height))};
}

QSize MainHeader::minimumSizeHint() const { return {0, sizeHint().height()}; }

void MainHeader::resizeEvent(QResizeEvent*) { placeButtons(); }

void MainHeader::placeButtons() {
    double x = width();
    for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
        x -= SymbolButton::kSide;
        (*it)->move(static_cast<int>(std::lround(x)), (height() - SymbolButton::kSide) / 2);
        x -= kRowSpacing;
    }
}

double MainHeader::indicatorRight() const { return buttons_.front()->x() - kRowSpacing; }

void MainHeader::setNotice(const QString& notice) {
    notice_ = notice;
    update();
}

TextBoxes MainHeader::textBoxes() const {
    QPicture picture;
    QPainter painter(&picture);
    TextBoxes boxes;
    paintHeader(painter, &boxes);
    return boxes;
}

void MainHeader::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintHeader(p, nullptr);
}

void MainHeader::paintHeader(QPainter& p, TextBoxes* boxes) const {
    const ThemePalette& palette = themePalette(themeManager_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double midY = height() / 2.0;

    double x = 0;
    // Device pixels per point where the painter draws: the screen's ratio, or the target image's
    // when the header is rendered into one.
    const QTransform toDevice = p.deviceTransform();
    const qreal ratio = toDevice.type() <= QTransform::TxScale && toDevice.m11() > 0
                            ? toDevice.m11()
                            : (p.device() ? p.device()->devicePixelRatioF() : 1.0);
    if (const QPixmap& logo = logoAt(ratio); !logo.isNull()) {
        // On a whole device pixel, so the picture is copied pixel for pixel rather than resampled.
        p.drawPixmap(QPointF(0, std::round((midY - kLogoSide / 2.0) * ratio) / ratio), logo);
        x = kLogoSide + kRowSpacing;
    }

    const double titleTop = midY - titleBlockHeight() / 2;
    p.setFont(titleFont());
    p.setPen(palette.primaryText);
    const QString title = Translations::text(kTitle);
    Typography::drawLine(p, QPointF(x, titleTop), title, boxes);
    p.setFont(taglineFont());
    p.setPen(palette.textTertiary);
    const double taglineTop = titleTop + Typography::lineHeight(titleFont()) + kTitleSpacing;
    const QString tagline = Translations::text(kTagline);
    Typography::drawLine(p, QPointF(x, taglineTop), tagline, boxes);
    const double titleBlockRight = x + std::max(Typography::textWidth(titleFont(), title),
                                                Typography::textWidth(taglineFont(), tagline));

    // The live word and the time share a baseline; the group is centred on the row.
    const double liveHeight = Typography::lineHeight(liveFont());
    const double baseline = midY - liveHeight / 2 + Typography::ascent(liveFont());

    const QString time = updatedText();
    const double timeWidth = Typography::tabularWidth(timeFont(), time);
    double right = indicatorRight();
    p.setFont(timeFont());
    p.setPen(palette.secondaryText);
    Typography::drawLine(p, QPointF(right - timeWidth, baseline - Typography::ascent(timeFont())), time,
                         boxes, Typography::Digits::tabular);
    right -= timeWidth + kTimeSpacing;

    const QString live = Translations::text(kLiveText);
    const double liveWidth = Typography::textWidth(liveFont(), live);
    p.setFont(liveFont());
    Typography::drawLine(p, QPointF(right - liveWidth, baseline - Typography::ascent(liveFont())), live,
                         boxes);
    right -= liveWidth + kDotSpacing;

    const QColor green = hexQColor(kAccentGreen);
    const QPointF dotCentre(right - kDotSide / 2, baseline - Typography::ascent(liveFont()) + liveHeight / 2);
    QRadialGradient glow(dotCentre, kDotGlowRadius);
    glow.setColorAt(0, withOpacity(green, kDotGlowOpacity));
    glow.setColorAt(1, withOpacity(green, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(dotCentre, kDotGlowRadius, kDotGlowRadius);
    p.setBrush(green);
    p.drawEllipse(dotCentre, kDotSide / 2, kDotSide / 2);

    paintNotice(p, titleBlockRight + kNoticeGap, right - kDotSide - kRowSpacing, boxes);
}

void MainHeader::paintNotice(QPainter& p, double left, double right, TextBoxes* boxes) const {
    if (notice_.isEmpty()) return;
    const ThemePalette& palette = themePalette(themeManager_);
    const QFont font = noticeFont();
    const double symbolSide = SymbolIcon::boxSide(kNoticeSymbolSize);
    const double textRoom = right - left - 2 * kNoticePaddingX - symbolSide - kNoticeSymbolSpacing;
    if (textRoom <= 0) return;
    const QString text = Typography::elided(font, notice_, textRoom);
    const double lineHeight = Typography::lineHeight(font);
    const double pillHeight = std::max(symbolSide, lineHeight) + 2 * kNoticePaddingY;
    const QRectF pill(left, (height() - pillHeight) / 2,
                      2 * kNoticePaddingX + symbolSide + kNoticeSymbolSpacing + Typography::textWidth(font, text),
                      pillHeight);
    const QColor orange = hexQColor(kAccentOrange);
    p.setPen(QPen(withOpacity(orange, kNoticeEdgeOpacity), 1));
    p.setBrush(withOpacity(orange, palette.glowOpacity));
    p.drawRoundedRect(pill.adjusted(0.5, 0.5, -0.5, -0.5), pillHeight / 2, pillHeight / 2);
    const double symbolLeft = pill.left() + kNoticePaddingX;
    SymbolIcon::draw(p, QRectF(symbolLeft, pill.center().y() - symbolSide / 2, symbolSide, symbolSide), kNoticeSymbol,
                     orange);
    p.setFont(font);
    p.setPen(palette.primaryText);
    Typography::drawLine(p, QPointF(symbolLeft + symbolSide + kNoticeSymbolSpacing, pill.center().y() - lineHeight / 2),
                         text, boxes);
}

}  // namespace joulemap
