#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

class QPainter;

#include <optional>
#include <vector>

#include "TextBox.h"

namespace joulemap {

class Sparkline;
class ThemeManager;

// A small dashboard card: a title, a large live value with its unit, a subtitle and, bottom right,
// the sparkline of the same figure's recent history.
class StatCard : public QWidget {
    Q_OBJECT

public:
    explicit StatCard(QWidget* parent = nullptr);

    // Without one, the light palette is used.
    void setThemeManager(ThemeManager* manager);

    void setTitle(const QString& title);
    // Already formatted by the owner ("12.3", "85").
    void setValue(const QString& value);
    void setUnit(const QString& unit);
    // The sparkline's colour and, unless the value uses the theme's text colour, the value's.
    void setColor(const QColor& color);
    void setUseThemeValueColor(bool useThemeValueColor);
    void setSubtitle(const QString& subtitle);
    // Oldest first; `maxHistory` fixes the top of the sparkline's scale.
    void setHistory(std::vector<double> history, std::optional<double> maxHistory = std::nullopt);

    QString title() const { return title_; }
    QString value() const { return value_; }
    QString subtitle() const { return subtitle_; }
    const Sparkline* sparkline() const { return sparkline_; }

    // The lines of text as painted, in the card's coordinates.
    TextBoxes textBoxes() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeSparkline();
    void paintCard(QPainter& painter, TextBoxes* boxes) const;

    QPointer<ThemeManager> themeManager_;
    QString title_;
    QString value_;
    QString unit_;
    QColor color_ = Qt::gray;
    bool useThemeValueColor_ = false;
    QString subtitle_;
    Sparkline* sparkline_ = nullptr;
};

}  // namespace joulemap
