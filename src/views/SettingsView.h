#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "SettingsTexts.h"
#include "TextTranslation.h"

#include <filesystem>
#include <optional>
#include <vector>

class QLabel;
class QScrollArea;

namespace joulemap {

class ChargeSettingsBlock;
class SegmentedControl;
class ThemeManager;
class ToggleSwitch;

// The settings window's content: the theme picker, the two alert switches, start at login, the
// charge limit with the charge-level alerts (ChargeSettingsBlock) and the metrics export. It
// scrolls when the window is short.
// Every control writes straight through (the theme and alerts to ThemeManager, start at login to
// the autostart entry), so the window has no save step and can be closed at any time.
class SettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPadding = 24;
    static constexpr int kBlockSpacing = 24;

    explicit SettingsView(ThemeManager* theme, QWidget* parent = nullptr);

    // The entry the login switch writes, and the program it starts. By default the user's autostart
    // folder and the running executable; without a file the switch is hidden.
    void setAutostart(std::optional<std::filesystem::path> file, QString executable);

    SegmentedControl* themePicker() const { return themePicker_; }
    SegmentedControl* languagePicker() const { return languagePicker_; }
    ToggleSwitch* highTempSwitch() const { return highTempSwitch_; }
    ToggleSwitch* highDrainSwitch() const { return highDrainSwitch_; }
    ToggleSwitch* autostartSwitch() const { return autostartSwitch_; }
    ToggleSwitch* prometheusSwitch() const { return prometheusSwitch_; }
    QString prometheusCaption() const;
    QString themeDescription() const;
    ChargeSettingsBlock* chargeSettings() const { return chargeSettings_; }

private:

    QWidget* switchRow(const SourceText& title, std::optional<SourceText> caption, ToggleSwitch* toggle,
                       QLabel** captionLabel = nullptr);
    void showPreferences();
    void applyTheme();

    QPointer<ThemeManager> theme_;
    SegmentedControl* themePicker_ = nullptr;
    SegmentedControl* languagePicker_ = nullptr;
    QLabel* themeDescription_ = nullptr;
    ToggleSwitch* highTempSwitch_ = nullptr;
    ToggleSwitch* highDrainSwitch_ = nullptr;
    ToggleSwitch* autostartSwitch_ = nullptr;
    QWidget* autostartRow_ = nullptr;
    ToggleSwitch* prometheusSwitch_ = nullptr;
    QLabel* prometheusCaption_ = nullptr;
    QWidget* prometheusRow_ = nullptr;
    QWidget* divider_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QWidget* chargeDivider_ = nullptr;
    ChargeSettingsBlock* chargeSettings_ = nullptr;
    SettingsTexts texts_;
    std::optional<std::filesystem::path> autostartFile_;
    QString executable_;
};

}  // namespace joulemap
