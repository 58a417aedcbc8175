#pragma once

#include <QPointer>
#include <QWidget>

#include "SettingsTexts.h"
#include "TextTranslation.h"

#include <utility>
#include <vector>

class QLabel;
class QSpinBox;

namespace joulemap {

class ChargeLimitService;
class SegmentedControl;
class ThemeManager;
class ToggleSwitch;

// The settings window's charge part: the charge limit (off, 80 %, 90 % or a custom value,
// usable only when this user may write it) and the two charge-level alerts. The limit shows what
// the kernel reports after every write.
class ChargeSettingsBlock : public QWidget {
    Q_OBJECT

public:
    explicit ChargeSettingsBlock(ThemeManager* theme, QWidget* parent = nullptr);

    // Without one the limit reads as not offered by this machine.
    void setChargeLimitService(ChargeLimitService* service);

    SegmentedControl* limitPicker() const { return limitPicker_; }
    QSpinBox* customLimit() const { return customLimit_; }
    QLabel* limitStatus() const { return limitStatus_; }
    ToggleSwitch* highAlertSwitch() const { return highSwitch_; }
    QSpinBox* highAlertLevel() const { return highLevel_; }
    ToggleSwitch* lowAlertSwitch() const { return lowSwitch_; }
    QSpinBox* lowAlertLevel() const { return lowLevel_; }

private:

    QWidget* blockTitle(const char* symbol, const QString& text);
    QWidget* alertRow(const SourceText& title, const SourceText& caption, QSpinBox* level, ToggleSwitch* toggle);
    QSpinBox* pctBox(int min, int max);
    void chooseLimit(int index);
    void showLimit();
    void showAlerts();
    void applyTheme();

    QPointer<ThemeManager> theme_;
    QPointer<ChargeLimitService> service_;
    SegmentedControl* limitPicker_ = nullptr;
    QSpinBox* customLimit_ = nullptr;
    QLabel* limitStatus_ = nullptr;
    ToggleSwitch* highSwitch_ = nullptr;
    QSpinBox* highLevel_ = nullptr;
    ToggleSwitch* lowSwitch_ = nullptr;
    QSpinBox* lowLevel_ = nullptr;
    SettingsTexts texts_;
};

}  // namespace joulemap
