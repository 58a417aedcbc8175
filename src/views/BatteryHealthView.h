#pragma once

#include <QPointer>
#include <QRectF>
#include <QVariantAnimation>
#include <QWidget>

#include "BatteryInfo.h"
#include "TextBox.h"

class QPainter;

namespace joulemap {

class ThemeManager;

// The "电池健康" card: the health percentage as a ring with its status word, and the cycle count,
// capacities and temperature beside it.
class BatteryHealthView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRingAnimationMs = 800;

    explicit BatteryHealthView(QWidget* parent = nullptr);

    // Without one, the light palette is used.
    void setThemeManager(ThemeManager* manager);

    // While the card is visible the ring glides to the new health figure; a hidden card jumps
    // there, so nothing animates unseen and a card rendered offscreen shows the final state.
    void setBattery(const BatteryInfo& battery);
    const BatteryInfo& battery() const { return battery_; }

    // The share of the ring drawn right now, 0..1.
    double displayedRingFraction() const { return displayedFraction_; }
    // The ring's 84 × 84 frame inside the card.
    QRectF ringFrame() const;

    // The lines of text as painted, in the card's coordinates.
    TextBoxes textBoxes() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Each battery of a machine with several, and the charge limit.
    static std::size_t rowsUnderRing(const BatteryInfo& battery);
    void paintCard(QPainter& painter, TextBoxes* boxes) const;

    QPointer<ThemeManager> themeManager_;
    BatteryInfo battery_;
    double displayedFraction_ = 0;
    QVariantAnimation ringAnimation_;
};

}  // namespace joulemap
