#include "HistoryView.h"

#include "CapsuleButton.h"
#include "CsvExport.h"
#include "HistoryAlertsCard.h"
#include "HistoryChartCard.h"
#include "HistoryColors.h"
#include "HistoryEnergyCard.h"
#include "HistoryRows.h"
#include "HistorySamplesCard.h"
#include "ThemeManager.h"
#include "ThinScrollBar.h"
#include "Translations.h"
#include "Typography.h"
#include "ViewColors.h"
#include "WindowBackground.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QPainter>
#include <QPromise>
#include <QScrollArea>
#include <QScrollBar>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace joulemap {

namespace {

constexpr SourceText kTitle = JM_TR_NOOP("HistoryView", "功率历史");
constexpr const char* kSubtitle = "History";
constexpr double kTitleFontSize = 22;
constexpr double kSubtitleFontSize = 13;
constexpr double kCountFontSize = 11;
constexpr double kTitleGap = 8;
constexpr double kScrollHandleOpacity = 0.5;
constexpr SourceText kExportLabel = JM_TR_NOOP("HistoryView", "导出 CSV…");
constexpr SourceText kExportDialogTitle = JM_TR_NOOP("HistoryView", "选择导出 CSV 的文件夹");
constexpr SourceText kExportingText = JM_TR_NOOP("HistoryView", "正在导出…");
constexpr SourceText kExportedText = JM_TR_NOOP("HistoryView", "已导出到 %1");
constexpr SourceText kExportFailedText = JM_TR_NOOP("HistoryView", "导出失败：%1");
constexpr double kExportStatusFontSize = 11;

// The title, its English subtitle and, at the trailing end, how many samples the range holds, all
// on one baseline.
class HistoryHeader : public QWidget {
public:
    explicit HistoryHeader(ThemeManager* theme, QWidget* parent) : QWidget(parent), theme_(theme) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setCount(0);
    }

    void setCount(std::size_t count) {
        count_ = QString::fromStdString(recordCountText(count));
        update();
    }

    QSize sizeHint() const override {
        return {400, static_cast<int>(std::ceil(Typography::lineHeight(Typography::font(kTitleFontSize, Typography::Weight::bold))))};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
        const QFont titleFont = Typography::font(kTitleFontSize, Typography::Weight::bold);
        const QFont subtitleFont = Typography::font(kSubtitleFontSize);
        const QFont countFont = Typography::font(kCountFontSize);
        const double baseline = Typography::ascent(titleFont);
        const QString title = Translations::text(kTitle);

        painter.setFont(titleFont);
        painter.setPen(HistoryColors::primaryText(resolved));
        painter.drawText(QPointF(0, baseline), title);
        const double subtitleX = QFontMetricsF(titleFont).horizontalAdvance(title) + kTitleGap;
        painter.setFont(subtitleFont);
        painter.setPen(HistoryColors::secondaryText(resolved));
        if (title != QLatin1String(kSubtitle)) painter.drawText(QPointF(subtitleX, baseline), QString::fromUtf8(kSubtitle));
        painter.setFont(countFont);
        Typography::drawTabular(painter, {width() - Typography::tabularWidth(countFont, count_), baseline}, count_);
    }

private:
    QPointer<ThemeManager> theme_;
    QString count_;
};

}  // namespace

const std::vector<HistoryView::RangeOption>& HistoryView::rangeOptions() {
    static const std::vector<RangeOption> options{{JM_TR_NOOP("HistoryView", "24 小时"), 24},
                                                  {JM_TR_NOOP("HistoryView", "7 天"), 168}};
    return options;
}

HistoryView::HistoryView(ThemeManager* theme, QWidget* parent) : HistoryView(theme, &HistoryStore::shared(), parent) {}

HistoryView::HistoryView(ThemeManager* theme, HistoryStore* store, QWidget* parent)
    : QWidget(parent), theme_(theme), store_(store) {
    scrollArea_ = fillWithScrollArea(this);

    readers_.setMaxThreadCount(1);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->setSpacing(kSpacing);

    auto* header = new HistoryHeader(theme, content);
    header_ = header;
    column->addWidget(header);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kButtonSpacing);
    for (const RangeOption& option : rangeOptions()) {
        auto* button = new CapsuleButton(Translations::text(option.label), HistoryColors::input(), theme, content);
        button->setChecked(option.hours == selectedHours_);
        connect(button, &QAbstractButton::clicked, this, [this, hours = option.hours] { setSelectedHours(hours); });
        rangeButtons_.push_back(button);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    exportStatus_ = new QLabel(content);
    exportStatus_->setFont(Typography::font(kExportStatusFontSize));
    exportStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    buttons->addWidget(exportStatus_);
    exportButton_ = new CapsuleButton(Translations::text(kExportLabel), HistoryColors::input(), theme, content);
    exportButton_->setCheckable(false);
    connect(exportButton_, &QAbstractButton::clicked, this, &HistoryView::chooseExportFolder);
    buttons->addWidget(exportButton_);
    column->addLayout(buttons);

    chart_ = new HistoryChartCard(theme, content);
    energy_ = new HistoryEnergyCard(theme, content);
    samples_ = new HistorySamplesCard(theme, content);
    alertsCard_ = new HistoryAlertsCard(theme, content);
    column->addWidget(chart_);
    column->addWidget(energy_);
    column->addWidget(samples_);
    column->addWidget(alertsCard_);
    column->addStretch(1);

    scrollArea_->setWidget(content);
    // setWidget() turns the background filling on; the window's gradient must show through.
    content->setAutoFillBackground(false);

    reloadTimer_ = new QTimer(this);
    reloadTimer_->setInterval(kReloadIntervalMs);
    connect(reloadTimer_, &QTimer::timeout, this, &HistoryView::reload);

    if (theme_) {
        connect(theme_, &ThemeManager::themeChanged, this, [this] {
            applyTheme();
            update();
            header_->update();
        });
    }
    applyTheme();
}

HistoryView::~HistoryView() { readers_.waitForDone(); }

void HistoryView::setSelectedHours(int64_t hours) {
    selectedHours_ = hours;
    for (std::size_t i = 0; i < rangeButtons_.size(); ++i) {
        rangeButtons_[i]->setChecked(rangeOptions()[i].hours == hours);
    }
    reload();
}

void HistoryView::reload() {
    const uint64_t generation = ++generation_;
    const int64_t hours = selectedHours_;
    auto promise = std::make_shared<QPromise<Loaded>>();
    promise->start();
    auto* watcher = new QFutureWatcher<Loaded>(this);
    // The watcher belongs to the view: once the view is gone, no result is delivered to it.
    connect(watcher, &QFutureWatcher<Loaded>::finished, this, [this, watcher, generation, hours] {
        watcher->deleteLater();
        // A later request (another range, a timer tick) supersedes this one.
        if (generation != generation_ || watcher->future().resultCount() == 0) return;
        apply(watcher->future().takeResult(), hours);
    });
    watcher->setFuture(promise->future());
    // SQLite serialises the use of one connection, and the store's reads touch none of its own
    // state, so this read may overlap the model's 30-second writes on the main thread.
    readers_.start([promise, store = store_, hours] {
        Loaded result;
        if (store) {
            result.records = store->query(hours);
            result.alerts = store->queryAlerts(kAlertHistoryLimit);
            result.energy = store->queryAppEnergy(hours);
        }
        promise->addResult(std::move(result));
        promise->finish();
    });
}

void HistoryView::chooseExportFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, Translations::text(kExportDialogTitle), QDir::homePath());
    if (!folder.isEmpty()) exportCsv(folder);
}

void HistoryView::exportCsv(const QString& folder) {
    exportButton_->setEnabled(false);
    exportStatus_->setText(Translations::text(kExportingText));
    auto promise = std::make_shared<QPromise<QString>>();
    promise->start();
    auto* watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, folder] {
        watcher->deleteLater();
        const QString error = watcher->future().resultCount() > 0 ? watcher->future().result() : QString();
        exportButton_->setEnabled(true);
        exportStatus_->setText(error.isEmpty() ? Translations::text(kExportedText).arg(QDir::toNativeSeparators(folder))
                                               : Translations::text(kExportFailedText).arg(error));
        emit exported(error);
    });
    watcher->setFuture(promise->future());
    // Everything the store keeps: a user exporting wants all of it, not the range on screen.
    readers_.start([promise, store = store_, path = folder.toStdString()] {
        QString error = QStringLiteral("no history");
        if (store) {
            const std::optional<std::string> failure = CsvExport::exportHistory(*store, path, CsvExport::kDefaultDays);
            error = failure ? QString::fromStdString(*failure) : QString();
        }
        promise->addResult(error);
        promise->finish();
    });
}

QString HistoryView::exportStatus() const { return exportStatus_->text(); }

void HistoryView::apply(Loaded result, int64_t hours) {
    records_ = std::move(result.records);
    alerts_ = std::move(result.alerts);
    static_cast<HistoryHeader*>(header_)->setCount(records_.size());
    chart_->setRecords(records_, hours);
    energy_->setTotals(result.energy);
    samples_->setRecords(records_);
    alertsCard_->setAlerts(alerts_);
    emit loaded();
}

void HistoryView::applyTheme() {
    const QColor handle = withOpacity(themePalette(theme_).textTertiary, kScrollHandleOpacity);
    scrollArea_->verticalScrollBar()->setStyleSheet(thinScrollBarStyle(handle));
    QPalette labelPalette = exportStatus_->palette();
    labelPalette.setColor(QPalette::WindowText, HistoryColors::secondaryText(theme_ ? theme_->resolvedTheme() : AppTheme::light));
    exportStatus_->setPalette(labelPalette);
}

void HistoryView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintWindowBackground(painter, rect(), themePalette(theme_));
}

void HistoryView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reload();
    reloadTimer_->start();
}

void HistoryView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    reloadTimer_->stop();
}

}  // namespace joulemap
