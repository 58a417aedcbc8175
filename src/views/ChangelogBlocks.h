#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

#include "AppTheme.h"
#include "ChangelogData.h"

class QPainter;

// The pieces a release is drawn from, shared by the open newest-release card and the collapsible
// older ones. Each lays its part out at `origin` in `width`, paints it when given a painter, and
// returns its height, so measuring and painting use the same code.
namespace joulemap::ChangelogBlocks {

inline constexpr double kCardPadding = 18;
inline constexpr double kCardCornerRadius = 14;
inline constexpr double kHeaderToDetails = 12;

// "v1.2.0", the date and, for the running version, the "当前" badge, on one baseline.
double versionHeader(QPainter* painter, const ChangelogData::Version& version, bool isCurrent, AppTheme theme,
                     QPointF origin, double width);

// The summary, when there is one, then each group with its items.
double versionDetails(QPainter* painter, const ChangelogData::Version& version, AppTheme theme, QPointF origin,
                      double width);

// The card under a release: `cardBackground` with a 1-wide outline in `outline`.
void paintCard(QPainter& painter, const QRectF& rect, AppTheme theme, const QColor& outline);

}  // namespace joulemap::ChangelogBlocks
