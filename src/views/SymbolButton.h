#pragma once

#include <QAbstractButton>
#include <QPointer>

#include <string>

namespace joulemap {

class ThemeManager;

// A plain icon button: a symbol in the secondary text colour in a small square, no frame, dimmed
// while pressed. The hover help is the ordinary widget tool tip.
class SymbolButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kSide = 28;
    static constexpr double kSymbolSize = 13;

    SymbolButton(std::string symbolName, const QString& help, QWidget* parent = nullptr);

    // Without one, the light palette is used.
    void setThemeManager(ThemeManager* manager);

    const std::string& symbolName() const { return symbolName_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::string symbolName_;
    QPointer<ThemeManager> themeManager_;
    bool keyboardFocus_ = false;
};

}  // namespace joulemap
