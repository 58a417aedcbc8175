#pragma once


#include <vector>

#include "HistoryCard.h"
#include "HistoryRows.h"

class QPainter;

namespace joulemap {

class ThemeManager;

// The history window's alert log: a title with a bell, then one row per alert (icon, title over
// body, time), newest first, or a quiet line when there is none.
class HistoryAlertsCard : public HistoryCard {
    Q_OBJECT

public:
    static constexpr double kEmptyFontSize = 11;
    static constexpr double kIconFontSize = 14;
    static constexpr double kIconWidth = 24;
    static constexpr double kAlertTitleFontSize = 11.5;
    static constexpr double kAlertBodyFontSize = 10.5;
    static constexpr double kTimeFontSize = 9.5;
    static constexpr double kTimeGap = 12;
    static constexpr double kRowSpacing = 10;
    static constexpr double kBodySpacing = 2;

    explicit HistoryAlertsCard(ThemeManager* theme, QWidget* parent = nullptr);

    // Newest first, as the store reads them.
    void setAlerts(const std::vector<HistoryStore::AlertRecord>& alerts);

    QString title() const { return title_; }
    const std::vector<AlertRow>& rows() const { return rows_; }

protected:
    double layOut(double width, QPainter* painter) const override;

private:
    QString title_;
    std::vector<AlertRow> rows_;
};

}  // namespace joulemap
