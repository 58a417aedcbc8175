#pragma once

#include <vector>

#include "AppEnergyRanking.h"
#include "HistoryCard.h"

class QPainter;

namespace joulemap {

class ThemeManager;

// The history window's energy per application over the chosen range: the time on battery beside
// the time on mains, each a ranking with a bar, the watt-hours and the share of its total.
class HistoryEnergyCard : public HistoryCard {
    Q_OBJECT

public:
    static constexpr double kHeadingFontSize = 11.5;
    static constexpr double kRowFontSize = 11;
    static constexpr double kSmallFontSize = 10;
    static constexpr double kColumnGap = 24;
    static constexpr double kRowHeight = 20;
    static constexpr double kBarHeight = 6;
    static constexpr double kNameShare = 0.34;
    static constexpr double kFigureGap = 8;
    static constexpr double kHeadingSpacing = 6;
    static constexpr double kMinColumnWidth = 260;

    explicit HistoryEnergyCard(ThemeManager* theme, QWidget* parent = nullptr);

    void setTotals(const std::vector<AppEnergy>& totals);
    const std::vector<AppEnergySection>& sections() const { return sections_; }
    bool isEmpty() const;

protected:
    double layOut(double width, QPainter* painter) const override;

private:
    double layOutSection(const AppEnergySection& section, double left, double top, double width,
                         QPainter* painter) const;

    std::vector<AppEnergySection> sections_;
};

}  // namespace joulemap
