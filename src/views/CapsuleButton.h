#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>

namespace joulemap {

class ThemeManager;

// A checkable text button on a capsule: the checked one is filled with its accent, translucent,
// the others with the theme's faint highlight. Used for the history window's range choice.
class CapsuleButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr double kFontSize = 12;
    static constexpr double kPaddingX = 14;
    static constexpr double kPaddingY = 6;
    static constexpr double kCheckedFillOpacity = 0.22;

    CapsuleButton(const QString& text, QColor accent, ThemeManager* theme, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor accent_;
    QPointer<ThemeManager> theme_;
};

}  // namespace joulemap
