#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

#include "HistoryRows.h"

namespace joulemap {

class ThemeManager;

// The history window's table of the newest samples: a title, a header row and up to 15 rows,
// newest first. The texts come from recentSampleRows(); this widget lays them out in columns.
class HistorySamplesCard : public QWidget {
    Q_OBJECT

public:
    static constexpr double kPadding = 16;
    static constexpr double kCornerRadius = 10;
    static constexpr double kTitleFontSize = 13;
    static constexpr double kHeaderFontSize = 11;
    static constexpr double kRowFontSize = 11;
    static constexpr double kTitleSpacing = 10;
    static constexpr double kRowHeight = 20;
    static constexpr double kTimeColumnWidth = 60;
    static constexpr double kChargeColumnWidth = 50;
    static constexpr double kColumnGap = 8;

    explicit HistorySamplesCard(ThemeManager* theme, QWidget* parent = nullptr);

    // All records of the range, oldest first; the card picks the newest.
    void setRecords(const std::vector<HistoryStore::Record>& records);

    QString title() const { return title_; }
    const std::vector<SampleRow>& rows() const { return rows_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<ThemeManager> theme_;
    QString title_;
    std::vector<SampleRow> rows_;
};

}  // namespace joulemap
