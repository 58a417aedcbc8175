#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

#include "AppEnergyRanking.h"

class QPainter;

namespace joulemap {

class ThemeManager;

// The history window's energy per application over the chosen range: the time on battery beside
// the time on mains, each a ranking with a bar, the watt-hours and the share of its total.
class HistoryEnergyCard : public QWidget {
    Q_OBJECT

public:
    static constexpr double kPadding = 16;
    static constexpr double kCornerRadius = 10;
    static constexpr double kTitleFontSize = 13;
    static constexpr double kSymbolSize = 13;
    static constexpr double kSymbolGap = 6;
    static constexpr double kTitleSpacing = 10;
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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double layOut(double width, QPainter* painter) const;
    double layOutSection(const AppEnergySection& section, double left, double top, double width,
                         QPainter* painter) const;

    QPointer<ThemeManager> theme_;
    std::vector<AppEnergySection> sections_;
};

}  // namespace joulemap
