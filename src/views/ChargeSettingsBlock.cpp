#include "ChargeSettingsBlock.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ChargeLevelAlert.h"
#include "ChargeLimitModel.h"
#include "ChargeLimitService.h"
#include "SegmentedControl.h"
#include "SettingsTexts.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "ToggleSwitch.h"
#include "Translations.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

namespace limits = ChargeLimitModel;

const char* const kLimitSymbol = "powerplug.fill";
constexpr SourceText kAlertsTitle = JM_TR_NOOP("ChargeSettingsBlock", "电量提醒");
const char* const kAlertsSymbol = "bell.badge";
constexpr SourceText kHighTitle = JM_TR_NOOP("ChargeSettingsBlock", "充电提醒");
constexpr SourceText kHighCaption = JM_TR_NOOP("ChargeSettingsBlock", "接电源充至此电量时通知");
constexpr SourceText kLowTitle = JM_TR_NOOP("ChargeSettingsBlock", "低电量提醒");
constexpr SourceText kLowCaption = JM_TR_NOOP("ChargeSettingsBlock", "用电池放电降至此电量时通知");
const char* const kPctSuffix = "%";

constexpr int kBlockSpacing = 24;
constexpr int kRowsSpacing = 14;
constexpr int kLimitSpacing = 10;
constexpr int kControlSpacing = 12;
constexpr int kMinHighAlertPct = 50;
constexpr int kMaxHighAlertPct = 100;
constexpr int kMinLowAlertPct = 5;
constexpr int kMaxLowAlertPct = 50;
// Wide enough for "100%", and the same for every box so they line up.
constexpr int kPctBoxWidth = 66;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QHBoxLayout* bareRow(QWidget* owner, int spacing) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QVBoxLayout* bareColumn(QWidget* owner, int spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

}  // namespace

ChargeSettingsBlock::ChargeSettingsBlock(ThemeManager* theme, QWidget* parent)
    : QWidget(parent), theme_(theme) {
    QVBoxLayout* root = bareColumn(this, kBlockSpacing);

    // The limit: picker, the custom value beside it, and one line on what the kernel reports.
    auto* limit = new QWidget(this);
    QVBoxLayout* limitLayout = bareColumn(limit, kLimitSpacing);
    limitLayout->addWidget(blockTitle(kLimitSymbol, qs(limits::kTitle.str())));
    auto* caption = texts_.label(this, qs(limits::kCaption.str()), SettingsTexts::kCaptionSize, QFont::Normal,
                                 SettingsTexts::Role::tertiary);
    caption->setWordWrap(true);
    limitLayout->addWidget(caption);
    QStringList choices;
    for (const auto& text : limits::choiceLabels()) choices << QString::fromStdString(text);
    limitPicker_ = new SegmentedControl(choices, limit);
    limitPicker_->setThemeManager(theme);
    customLimit_ = pctBox(limits::kMinCustomPct, limits::kMaxCustomPct);
    customLimit_->setValue(limits::kDefaultCustomPct);
    auto* pickerRow = new QWidget(limit);
    QHBoxLayout* pickerLayout = bareRow(pickerRow, kControlSpacing);
    pickerLayout->addWidget(limitPicker_);
    pickerLayout->addWidget(customLimit_);
    pickerLayout->addStretch(1);
    limitLayout->addWidget(pickerRow);
    limitStatus_ =
        texts_.label(this, {}, SettingsTexts::kCaptionSize, QFont::Normal, SettingsTexts::Role::tertiary);
    limitStatus_->setWordWrap(true);
    // The guide's name must be selectable to be looked up.
    limitStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    limitLayout->addWidget(limitStatus_);
    root->addWidget(limit);
    connect(limitPicker_, &SegmentedControl::activated, this, &ChargeSettingsBlock::chooseLimit);
    connect(customLimit_, &QSpinBox::valueChanged, this,
            [this] { chooseLimit(int(limits::Choice::custom)); });

    // The charge-level alerts.
    auto* alerts = new QWidget(this);
    QVBoxLayout* alertsLayout = bareColumn(alerts, kRowsSpacing);
    alertsLayout->addWidget(blockTitle(kAlertsSymbol, Translations::text(kAlertsTitle)));
    highSwitch_ = new ToggleSwitch(alerts);
    lowSwitch_ = new ToggleSwitch(alerts);
    highLevel_ = pctBox(kMinHighAlertPct, kMaxHighAlertPct);
    lowLevel_ = pctBox(kMinLowAlertPct, kMaxLowAlertPct);
    alertsLayout->addWidget(alertRow(kHighTitle, kHighCaption, highLevel_, highSwitch_));
    alertsLayout->addWidget(alertRow(kLowTitle, kLowCaption, lowLevel_, lowSwitch_));
    root->addWidget(alerts);
    for (ToggleSwitch* toggle : {highSwitch_, lowSwitch_}) toggle->setThemeManager(theme);
    connect(highSwitch_, &ToggleSwitch::clicked, this, [this](bool on) {
        if (theme_) theme_->setChargeHighAlertEnabled(on);
    });
    connect(lowSwitch_, &ToggleSwitch::clicked, this, [this](bool on) {
        if (theme_) theme_->setChargeLowAlertEnabled(on);
    });
    connect(highLevel_, &QSpinBox::valueChanged, this, [this](int pct) {
        if (theme_) theme_->setChargeHighAlertPct(pct);
    });
    connect(lowLevel_, &QSpinBox::valueChanged, this, [this](int pct) {
        if (theme_) theme_->setChargeLowAlertPct(pct);
    });

    if (theme_) {
        connect(theme_, &ThemeManager::themeChanged, this, &ChargeSettingsBlock::applyTheme);
        connect(theme_, &ThemeManager::chargePreferencesChanged, this, &ChargeSettingsBlock::showAlerts);
    }
    showLimit();
    showAlerts();
    applyTheme();
}

void ChargeSettingsBlock::setChargeLimitService(ChargeLimitService* service) {
    if (service_) disconnect(service_, nullptr, this, nullptr);
    service_ = service;
    if (service_) connect(service_, &ChargeLimitService::changed, this, &ChargeSettingsBlock::showLimit);
    showLimit();
}

void ChargeSettingsBlock::chooseLimit(int index) {
    if (!service_) return;
    const auto choice = limits::Choice(index);
    service_->setLimit(limits::pctFor(choice, customLimit_->value()));
}

void ChargeSettingsBlock::showLimit() {
    const ChargeLimitState state = service_ ? service_->state() : ChargeLimitState{};
    const auto choice = limits::choiceFor(state.endPct);
    limitPicker_->setCurrentIndex(int(choice));
    {
        const QSignalBlocker quiet(customLimit_);
        if (choice == limits::Choice::custom) customLimit_->setValue(state.endPct);
    }
    customLimit_->setVisible(choice == limits::Choice::custom);
    limitPicker_->setEnabled(state.writable);
    customLimit_->setEnabled(state.writable);
    limitStatus_->setText(QString::fromStdString(
        limits::statusText(state, service_ ? service_->lastRequestPct() : std::nullopt)));
}

void ChargeSettingsBlock::showAlerts() {
    if (!theme_) return;
    const QSignalBlocker quietHigh(highLevel_);
    const QSignalBlocker quietLow(lowLevel_);
    highSwitch_->setChecked(theme_->chargeHighAlertEnabled());
    lowSwitch_->setChecked(theme_->chargeLowAlertEnabled());
    highLevel_->setValue(theme_->chargeHighAlertPct());
    lowLevel_->setValue(theme_->chargeLowAlertPct());
}

QWidget* ChargeSettingsBlock::blockTitle(const char* symbol, const QString& text) {
    auto* row = new QWidget(this);
    QHBoxLayout* layout = bareRow(row, SettingsTexts::kSymbolSpacing);
    QLabel* icon = texts_.symbol(row, symbol);
    layout->addWidget(icon);
    layout->addWidget(texts_.label(this, text, SettingsTexts::kBlockTitleSize, QFont::DemiBold,
                                   SettingsTexts::Role::primary));
    layout->addStretch(1);
    return row;
}

QWidget* ChargeSettingsBlock::alertRow(const SourceText& title, const SourceText& caption, QSpinBox* level,
                                       ToggleSwitch* toggle) {
    QWidget* text = texts_.titleAndCaption(this, Translations::text(title), Translations::text(caption));
    auto* row = new QWidget(this);
    QHBoxLayout* layout = bareRow(row, kControlSpacing);
    layout->addWidget(text);
    layout->addStretch(1);
    layout->addWidget(level, 0, Qt::AlignVCenter);
    layout->addWidget(toggle, 0, Qt::AlignVCenter);
    return row;
}

QSpinBox* ChargeSettingsBlock::pctBox(int min, int max) {
    auto* box = new QSpinBox(this);
    box->setRange(min, max);
    box->setSuffix(QString::fromLatin1(kPctSuffix));
    // Only a finished entry counts, not every keystroke on the way to it.
    box->setKeyboardTracking(false);
    box->setFont(Typography::font(SettingsTexts::kRowTitleSize));
    box->setFixedWidth(kPctBoxWidth);
    return box;
}

void ChargeSettingsBlock::applyTheme() {
    const ThemePalette& palette = themePalette(theme_);
    texts_.applyTheme(palette, devicePixelRatioF());
    for (QSpinBox* box : {customLimit_, highLevel_, lowLevel_}) {
        QPalette p = box->palette();
        p.setColor(QPalette::Text, palette.primaryText);
        p.setColor(QPalette::Base, palette.backgroundColors.front());
        p.setColor(QPalette::Button, palette.backgroundColors.front());
        p.setColor(QPalette::ButtonText, palette.primaryText);
        p.setColor(QPalette::WindowText, palette.primaryText);
        box->setPalette(p);
    }
    update();
}

}  // namespace joulemap
