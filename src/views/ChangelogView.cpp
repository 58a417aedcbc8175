#include "ChangelogView.h"

#include "ChangelogBlocks.h"
#include "HistoryVersionCard.h"
#include "ThemeManager.h"
#include "ThinScrollBar.h"
#include "Translations.h"
#include "Typography.h"
#include "ViewColors.h"
#include "WindowBackground.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

#ifndef JOULEMAP_VERSION
#define JOULEMAP_VERSION ""
#endif

namespace joulemap {

namespace {

constexpr SourceText kTitle = JM_TR_NOOP("ChangelogView", "更新日志");
constexpr const char* kSubtitle = "Changelog";
constexpr SourceText kCurrentVersionPrefix = JM_TR_NOOP("ChangelogView", "当前版本 ");
constexpr const char* kUnknownVersion = "—";
constexpr double kTitleFontSize = 22;
constexpr double kSubtitleFontSize = 13;
constexpr double kVersionFontSize = 11;
constexpr double kHeaderSpacing = 8;
constexpr double kHeaderBottomPadding = 2;
constexpr double kScrollHandleOpacity = 0.5;

AppTheme resolvedOf(const ThemeManager* theme) { return theme ? theme->resolvedTheme() : AppTheme::light; }

// "更新日志", "Changelog" and, at the trailing end, the running version, on one baseline.
class ChangelogHeader : public QWidget {
public:
    ChangelogHeader(ThemeManager* theme, QWidget* parent) : QWidget(parent), theme_(theme) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void setVersionText(const QString& text) {
        versionText_ = text;
        update();
    }

    QSize sizeHint() const override {
        const double height = Typography::lineHeight(Typography::font(kTitleFontSize, Typography::Weight::bold));
        return {400, static_cast<int>(std::ceil(height + kHeaderBottomPadding))};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ThemePalette& colors = joulemap::palette(resolvedOf(theme_));
        const QFont titleFont = Typography::font(kTitleFontSize, Typography::Weight::bold);
        const QFont subtitleFont = Typography::font(kSubtitleFontSize);
        const QFont versionFont = Typography::font(kVersionFontSize);
        const double baseline = Typography::ascent(titleFont);
        const QString title = Translations::text(kTitle);
        painter.setFont(titleFont);
        painter.setPen(colors.primaryText);
        painter.drawText(QPointF(0, baseline), title);
        // The English subtitle, unless the title is in English already.
        if (title != QLatin1String(kSubtitle)) {
            painter.setFont(subtitleFont);
            painter.setPen(colors.textTertiary);
            painter.drawText(QPointF(QFontMetricsF(titleFont).horizontalAdvance(title) + kHeaderSpacing, baseline),
                             QString::fromUtf8(kSubtitle));
        }
        painter.setFont(versionFont);
        Typography::drawTabular(painter, {width() - Typography::tabularWidth(versionFont, versionText_), baseline},
                                versionText_);
    }

private:
    QPointer<ThemeManager> theme_;
    QString versionText_;
};

// The newest release: always open, on the card without a chevron.
class LatestVersionCard : public QWidget {
public:
    LatestVersionCard(ChangelogData::Version version, bool isCurrent, ThemeManager* theme, QWidget* parent)
        : QWidget(parent), version_(std::move(version)), isCurrent_(isCurrent), theme_(theme) {
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    QSize sizeHint() const override { return {500, heightForWidth(500)}; }
    QSize minimumSizeHint() const override { return {200, heightForWidth(200)}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return static_cast<int>(std::ceil(layOut(width, nullptr))); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const AppTheme theme = resolvedOf(theme_);
        ChangelogBlocks::paintCard(painter, rect(), theme, joulemap::palette(theme).cardStroke);
        layOut(width(), &painter);
    }

private:
    double layOut(double width, QPainter* painter) const {
        using namespace ChangelogBlocks;
        const AppTheme theme = resolvedOf(theme_);
        const double contentWidth = std::max(width - 2 * kCardPadding, 1.0);
        double y = kCardPadding;
        y += versionHeader(painter, version_, isCurrent_, theme, {kCardPadding, y}, contentWidth);
        y += kHeaderToDetails;
        y += versionDetails(painter, version_, theme, {kCardPadding, y}, contentWidth);
        return y + kCardPadding;
    }

    ChangelogData::Version version_;
    bool isCurrent_;
    QPointer<ThemeManager> theme_;
};

}  // namespace

ChangelogView::ChangelogView(ThemeManager* theme, QWidget* parent)
    : QWidget(parent),
      theme_(theme),
      sources_(ChangelogData::candidates(QCoreApplication::applicationDirPath().toStdString())),
      currentVersion_(QString::fromUtf8(JOULEMAP_VERSION)) {
    scrollArea_ = fillWithScrollArea(this);
    scrollArea_->setFocusPolicy(Qt::NoFocus);

    auto* content = new QWidget;
    column_ = new QVBoxLayout(content);
    column_->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column_->setSpacing(kSpacing);
    header_ = new ChangelogHeader(theme, content);
    column_->addWidget(header_);
    column_->addStretch(1);
    scrollArea_->setWidget(content);
    // setWidget() turns the background filling on; the window's gradient must show through.
    content->setAutoFillBackground(false);

    if (theme_) {
        connect(theme_, &ThemeManager::themeChanged, this, [this] {
            applyTheme();
            update();
            header_->update();
            if (latest_) latest_->update();
        });
    }
    applyTheme();
    setCurrentVersion(currentVersion_);
    reload();
}

void ChangelogView::setSources(std::vector<std::filesystem::path> sources) {
    sources_ = std::move(sources);
    reload();
}

void ChangelogView::setCurrentVersion(const QString& version) {
    currentVersion_ = version;
    static_cast<ChangelogHeader*>(header_)->setVersionText(currentVersionText());
    rebuild();
}

QString ChangelogView::currentVersionText() const {
    return Translations::text(kCurrentVersionPrefix) +
           (currentVersion_.isEmpty() ? QString::fromUtf8(kUnknownVersion) : currentVersion_);
}

void ChangelogView::reload() {
    root_ = ChangelogData::loadFrom(sources_);
    rebuild();
}

void ChangelogView::rebuild() {
    delete latest_;
    latest_ = nullptr;
    for (HistoryVersionCard* card : older_) delete card;
    older_.clear();

    const std::string current = currentVersion_.toStdString();
    const auto isCurrent = [&](const ChangelogData::Version& v) { return !current.empty() && v.version == current; };
    // After the header, before the closing stretch.
    int index = 1;
    for (std::size_t i = 0; i < root_.versions.size(); ++i) {
        const auto& version = root_.versions[i];
        QWidget* card = nullptr;
        if (i == 0) {
            card = latest_ = new LatestVersionCard(version, isCurrent(version), theme_, column_->parentWidget());
        } else {
            auto* older = new HistoryVersionCard(version, isCurrent(version), theme_, column_->parentWidget());
            older_.push_back(older);
            card = older;
        }
        column_->insertWidget(index++, card);
    }
}

void ChangelogView::applyTheme() {
    const QColor handle = withOpacity(themePalette(theme_).textTertiary, kScrollHandleOpacity);
    scrollArea_->verticalScrollBar()->setStyleSheet(thinScrollBarStyle(handle));
}

void ChangelogView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintWindowBackground(painter, rect(), themePalette(theme_));
}

void ChangelogView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reload();
}

}  // namespace joulemap
