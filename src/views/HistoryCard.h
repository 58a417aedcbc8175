#pragma once

#include <QPointer>
#include <QWidget>

#include <string_view>

#include "AppTheme.h"

class QPainter;

namespace joulemap {

class ThemeManager;

// A card of the history window that lays itself out for a given width: its size hints, its height
// for a width and its painting all come from one layOut(), so what is measured is what is drawn.
class HistoryCard : public QWidget {
    Q_OBJECT

public:
    static constexpr double kPadding = 16;
    static constexpr double kCornerRadius = 10;
    static constexpr double kTitleFontSize = 13;
    static constexpr double kSymbolSize = 13;
    static constexpr double kSymbolGap = 6;
    static constexpr double kTitleSpacing = 10;

    explicit HistoryCard(ThemeManager* theme, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Lays the card out for `width` and returns its height; paints as well when given a painter.
    virtual double layOut(double width, QPainter* painter) const = 0;

    AppTheme resolvedTheme() const;
    // The title row at the card's top padding, a symbol before the title; returns where the content
    // below it starts.
    double drawTitle(QPainter* painter, std::string_view symbol, const QString& title) const;

    QPointer<ThemeManager> theme_;
};

}  // namespace joulemap
