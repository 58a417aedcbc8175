#pragma once

#include <QLabel>
#include <QPointer>

namespace joulemap {

class ThemeManager;

// Stands in for a window's content that is not part of this build: its title, quietly centred,
// in the theme's colours.
class PlaceholderView : public QLabel {
    Q_OBJECT

public:
    PlaceholderView(const QString& text, ThemeManager* theme, QWidget* parent = nullptr);

private:
    void applyTheme();

    QPointer<ThemeManager> theme_;
};

}  // namespace joulemap
