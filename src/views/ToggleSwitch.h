#pragma once

#include <QAbstractButton>
#include <QPointer>

namespace joulemap {

class ThemeManager;

// An on/off switch: a green pill with the knob on the right when on, a grey track when off.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kWidth = 38;
    static constexpr int kHeight = 22;

    explicit ToggleSwitch(QWidget* parent = nullptr);
    void setThemeManager(ThemeManager* manager);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<ThemeManager> themeManager_;
};

}  // namespace joulemap
