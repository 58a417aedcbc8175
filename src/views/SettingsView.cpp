#include "SettingsView.h"

#include <array>
#include <utility>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "AppPaths.h"
#include "AutostartEntry.h"
#include "ChargeSettingsBlock.h"
#include "SegmentedControl.h"
#include "SettingsTexts.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Translations.h"
#include "ThinScrollBar.h"
#include "ToggleSwitch.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr SourceText kTitle = JM_TR_NOOP("SettingsView", "设置");
const char* const kSubtitle = "Settings";
constexpr SourceText kThemeLabel = JM_TR_NOOP("SettingsView", "主题模式");
const char* const kThemeSymbol = "circle.lefthalf.filled";
constexpr SourceText kLanguageTitle = JM_TR_NOOP("SettingsView", "语言：");
// The choices in the picker's order, with the preference each stores. A language's own name is
// written in that language, so it reads the same whichever is in use.
constexpr SourceText kFollowSystem = JM_TR_NOOP("SettingsView", "跟随系统");
const std::array<std::pair<const char*, const char*>, 3> kLanguages = {{
    {nullptr, Translations::kSystem}, {"简体中文", Translations::kChinese}, {"English", Translations::kEnglish}}};
constexpr SourceText kAlertsLabel = JM_TR_NOOP("SettingsView", "预警通知");
const char* const kAlertsSymbol = "bell.badge";
constexpr SourceText kHighTempTitle = JM_TR_NOOP("SettingsView", "高温预警");
constexpr SourceText kHighTempCaption = JM_TR_NOOP("SettingsView", "电池温度持续过高时通知");
constexpr SourceText kHighDrainTitle = JM_TR_NOOP("SettingsView", "异常耗电预警");
constexpr SourceText kHighDrainCaption = JM_TR_NOOP("SettingsView", "某进程持续高 CPU 占用时通知");
constexpr SourceText kAutostartTitle = JM_TR_NOOP("SettingsView", "登录时启动");
constexpr SourceText kAutostartCaption = JM_TR_NOOP("SettingsView", "登录桌面后自动在托盘中运行");
constexpr SourceText kPrometheusTitle = JM_TR_NOOP("SettingsView", "Prometheus 导出");
constexpr SourceText kNotificationNote =
    JM_TR_NOOP("SettingsView", "预警通过桌面的通知服务发送；桌面没有运行通知服务时，预警不会显示。");

constexpr double kTitleSize = 22;
constexpr double kSubtitleSize = 13;
constexpr int kHeaderSpacing = 8;
constexpr int kRowSpacing = 12;
constexpr int kAlertsSpacing = 14;
// The window's width less its padding, the switch and the spacing before it.
constexpr int kPathCaptionMaxWidth = 320;

// A one-pixel rule in the theme's divider colour.
class Divider : public QWidget {
public:
    Divider(QPointer<ThemeManager> theme, QWidget* parent) : QWidget(parent), theme_(std::move(theme)) {
        setFixedHeight(1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), themePalette(theme_).dividerColor);
    }

private:
    QPointer<ThemeManager> theme_;
};

QWidget* hStack(QWidget* parent, std::initializer_list<QWidget*> left, QWidget* right, int spacing) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* w : left) layout->addWidget(w);
    layout->addStretch(1);
    if (right) layout->addWidget(right, 0, Qt::AlignVCenter);
    return row;
}

}  // namespace

SettingsView::SettingsView(ThemeManager* theme, QWidget* parent) : QWidget(parent), theme_(theme) {
    // Everything scrolls, so a short screen still reaches the last switch.
    scrollArea_ = fillWithScrollArea(this);
    scrollArea_->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget;
    auto* root = new QVBoxLayout(content);
    root->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    root->setSpacing(kBlockSpacing);

    // Header: title and its English subtitle on one baseline; in English the title says it already.
    auto* header = new QHBoxLayout;
    header->setSpacing(kHeaderSpacing);
    const QString title = Translations::text(kTitle);
    header->addWidget(texts_.label(this, title, kTitleSize, QFont::Bold, SettingsTexts::Role::primary), 0,
                      Qt::AlignBaseline);
    if (title != QLatin1String(kSubtitle)) {
        header->addWidget(texts_.label(this, QString::fromUtf8(kSubtitle), kSubtitleSize, QFont::Normal,
                                       SettingsTexts::Role::tertiary),
                          0, Qt::AlignBaseline);
    }
    header->addStretch(1);
    root->addLayout(header);

    // Theme row.
    QStringList labels;
    for (const AppTheme t : allThemes()) labels << displayText(t);
    themePicker_ = new SegmentedControl(labels, this);
    themePicker_->setThemeManager(theme);
    auto* themeText = new QWidget(this);
    auto* themeTextLayout = new QVBoxLayout(themeText);
    themeTextLayout->setContentsMargins(0, 0, 0, 0);
    themeTextLayout->setSpacing(SettingsTexts::kStackSpacing);
    QLabel* themeSymbol = texts_.symbol(themeText, kThemeSymbol);
    themeTextLayout->addWidget(
        hStack(themeText,
               {themeSymbol, texts_.label(this, Translations::text(kThemeLabel), SettingsTexts::kRowTitleSize,
                                          QFont::Medium, SettingsTexts::Role::primary)},
               nullptr, SettingsTexts::kSymbolSpacing));
    themeDescription_ =
        texts_.label(this, {}, SettingsTexts::kCaptionSize, QFont::Normal, SettingsTexts::Role::tertiary);
    themeTextLayout->addWidget(themeDescription_);
    root->addWidget(hStack(this, {themeText}, themePicker_, kRowSpacing));
    connect(themePicker_, &SegmentedControl::activated, this, [this](int index) {
        if (theme_) theme_->setTheme(allThemes().at(std::size_t(index)));
    });

    QStringList languageLabels;
    for (const auto& language : kLanguages) {
        languageLabels << (language.first ? QString::fromUtf8(language.first) : Translations::text(kFollowSystem));
    }
    languagePicker_ = new SegmentedControl(languageLabels, this);
    languagePicker_->setThemeManager(theme);
    root->addWidget(hStack(this, {texts_.label(this, Translations::text(kLanguageTitle), SettingsTexts::kRowTitleSize,
                                                QFont::Medium, SettingsTexts::Role::primary)},
                           languagePicker_, kRowSpacing));
    connect(languagePicker_, &SegmentedControl::activated, this, [this](int index) {
        if (theme_) theme_->setLanguage(QLatin1String(kLanguages.at(std::size_t(index)).second));
    });

    divider_ = new Divider(theme_, this);
    root->addWidget(divider_);

    // Alerts block.
    auto* alerts = new QWidget(this);
    auto* alertsLayout = new QVBoxLayout(alerts);
    alertsLayout->setContentsMargins(0, 0, 0, 0);
    alertsLayout->setSpacing(kAlertsSpacing);
    QLabel* alertsSymbol = texts_.symbol(alerts, kAlertsSymbol);
    alertsLayout->addWidget(hStack(
        alerts,
        {alertsSymbol, texts_.label(this, Translations::text(kAlertsLabel), SettingsTexts::kBlockTitleSize,
                                    QFont::DemiBold, SettingsTexts::Role::primary)},
        nullptr, SettingsTexts::kSymbolSpacing));
    highTempSwitch_ = new ToggleSwitch(alerts);
    highDrainSwitch_ = new ToggleSwitch(alerts);
    autostartSwitch_ = new ToggleSwitch(alerts);
    alertsLayout->addWidget(switchRow(kHighTempTitle, kHighTempCaption, highTempSwitch_));
    alertsLayout->addWidget(switchRow(kHighDrainTitle, kHighDrainCaption, highDrainSwitch_));
    auto* note = texts_.label(this, Translations::text(kNotificationNote), SettingsTexts::kCaptionSize,
                              QFont::Normal, SettingsTexts::Role::tertiary);
    note->setWordWrap(true);
    alertsLayout->addWidget(note);
    autostartRow_ = switchRow(kAutostartTitle, kAutostartCaption, autostartSwitch_);
    alertsLayout->addWidget(autostartRow_);
    prometheusSwitch_ = new ToggleSwitch(alerts);
    prometheusRow_ = switchRow(kPrometheusTitle, {}, prometheusSwitch_, &prometheusCaption_);
    alertsLayout->addWidget(prometheusRow_);
    root->addWidget(alerts);

    // Charge limit and charge-level alerts.
    chargeDivider_ = new Divider(theme_, this);
    root->addWidget(chargeDivider_);
    chargeSettings_ = new ChargeSettingsBlock(theme, this);
    root->addWidget(chargeSettings_);

    root->addStretch(1);
    scrollArea_->setWidget(content);
    // setWidget() turns the background filling on; the window's gradient must show through.
    content->setAutoFillBackground(false);

    for (ToggleSwitch* toggle : {highTempSwitch_, highDrainSwitch_, autostartSwitch_, prometheusSwitch_}) {
        toggle->setThemeManager(theme);
    }
    connect(highTempSwitch_, &ToggleSwitch::clicked, this, [this](bool on) {
        if (theme_) theme_->setHighTempAlertEnabled(on);
    });
    connect(highDrainSwitch_, &ToggleSwitch::clicked, this, [this](bool on) {
        if (theme_) theme_->setHighDrainAlertEnabled(on);
    });
    connect(autostartSwitch_, &ToggleSwitch::clicked, this, [this](bool on) {
        if (autostartFile_) AutostartEntry::setEnabled(*autostartFile_, on, executable_.toStdString());
        // The file decides: a refused write leaves the switch where the desktop stands.
        autostartSwitch_->setChecked(autostartFile_ && AutostartEntry::isEnabled(*autostartFile_));
    });

    connect(prometheusSwitch_, &ToggleSwitch::clicked, this, [this](bool on) {
        if (!theme_) return;
        const auto file = AppPaths::defaultPrometheusTextfile();
        theme_->setPrometheusTextfile(on && file ? QString::fromStdString(file->string()) : QString());
    });

    if (theme_) {
        connect(theme_, &ThemeManager::prometheusTextfileChanged, this, &SettingsView::showPreferences);
        connect(theme_, &ThemeManager::themeChanged, this, [this] {
            showPreferences();
            applyTheme();
        });
        connect(theme_, &ThemeManager::highTempAlertEnabledChanged, this, &SettingsView::showPreferences);
        connect(theme_, &ThemeManager::highDrainAlertEnabledChanged, this, &SettingsView::showPreferences);
    }
    setAutostart(AutostartEntry::defaultPath(), QCoreApplication::applicationFilePath());
    showPreferences();
    applyTheme();
}

void SettingsView::setAutostart(std::optional<std::filesystem::path> file, QString executable) {
    autostartFile_ = std::move(file);
    executable_ = std::move(executable);
    autostartRow_->setVisible(autostartFile_.has_value());
    autostartSwitch_->setChecked(autostartFile_ && AutostartEntry::isEnabled(*autostartFile_));
}

QString SettingsView::themeDescription() const { return themeDescription_->text(); }

QString SettingsView::prometheusCaption() const { return prometheusCaption_->text(); }

QWidget* SettingsView::switchRow(const SourceText& title, std::optional<SourceText> caption, ToggleSwitch* toggle,
                                 QLabel** captionLabel) {
    const QString captionText = caption ? Translations::text(*caption) : QString();
    return hStack(this, {texts_.titleAndCaption(this, Translations::text(title), captionText, captionLabel)}, toggle,
                  kRowSpacing);
}

void SettingsView::showPreferences() {
    if (!theme_) return;
    const auto& themes = allThemes();
    const auto index = std::find(themes.begin(), themes.end(), theme_->theme()) - themes.begin();
    themePicker_->setCurrentIndex(int(index));
    themeDescription_->setText(description(theme_->theme()));
    const QString language = theme_->language();
    for (std::size_t i = 0; i < kLanguages.size(); ++i) {
        if (language == QLatin1String(kLanguages[i].second)) languagePicker_->setCurrentIndex(int(i));
    }
    highTempSwitch_->setChecked(theme_->highTempAlertEnabled());
    highDrainSwitch_->setChecked(theme_->highDrainAlertEnabled());

    // The file written, or the one switching on would write.
    const QString file = theme_->prometheusTextfile();
    const auto fallback = AppPaths::defaultPrometheusTextfile();
    const QString shown = !file.isEmpty() ? file
                          : fallback      ? QString::fromStdString(fallback->string())
                                          : QString();
    prometheusSwitch_->setChecked(!file.isEmpty());
    // A long path is shortened in the middle (the file name stays) rather than widening the window;
    // the tooltip has it whole.
    prometheusCaption_->setText(
        prometheusCaption_->fontMetrics().elidedText(shown, Qt::ElideMiddle, kPathCaptionMaxWidth));
    prometheusCaption_->setToolTip(shown);
    prometheusRow_->setVisible(!shown.isEmpty());
}

void SettingsView::applyTheme() {
    const ThemePalette& palette = themePalette(theme_);
    texts_.applyTheme(palette, devicePixelRatioF());
    scrollArea_->verticalScrollBar()->setStyleSheet(thinScrollBarStyle(palette.textTertiary));
    update();
}

}  // namespace joulemap
