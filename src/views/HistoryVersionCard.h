#pragma once

#include <QPointer>
#include <QWidget>

#include "AppTheme.h"
#include "ChangelogData.h"

class QPainter;
class QVariantAnimation;

namespace joulemap {

class ThemeManager;

// An older release in the changelog: its header with a chevron, and its changes below once opened
// with a click (or Space/Enter). Starts closed.
class HistoryVersionCard : public QWidget {
    Q_OBJECT

public:
    static constexpr double kChevronSize = 10;
    static constexpr double kChevronGap = 8;
    static constexpr int kAnimationMs = 200;
    static constexpr double kExpandedOutlineOpacity = 0.3;

    HistoryVersionCard(ChangelogData::Version version, bool isCurrent, ThemeManager* theme, QWidget* parent = nullptr);

    const ChangelogData::Version& version() const { return version_; }
    bool isCurrent() const { return isCurrent_; }
    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);
    // The clickable header, in the card's coordinates.
    QRectF headerRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppTheme resolvedTheme() const;
    double layOut(double width, QPainter* painter) const;

    ChangelogData::Version version_;
    bool isCurrent_;
    QPointer<ThemeManager> theme_;
    bool expanded_ = false;
    double openness_ = 0;  // 0 closed, 1 open; in between while animating
    QVariantAnimation* animation_;
};

}  // namespace joulemap
