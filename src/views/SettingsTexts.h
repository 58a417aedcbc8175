#pragma once

#include <QString>

#include <utility>
#include <vector>

class QLabel;
class QWidget;

namespace joulemap {

struct ThemePalette;

// The settings window's labels and symbols, made in one type scale and recoloured together when
// the theme changes. Shared by the window and the blocks it holds, so every row looks the same.
class SettingsTexts {
public:
    static constexpr double kBlockTitleSize = 14;
    static constexpr double kRowTitleSize = 13;
    static constexpr double kCaptionSize = 11;
    static constexpr double kSymbolSize = 14;
    static constexpr int kStackSpacing = 2;
    static constexpr int kSymbolSpacing = 6;

    enum class Role { primary, tertiary };

    QLabel* label(QWidget* parent, const QString& text, double pixelSize, int weight, Role role);
    // A symbol from SymbolIcon, drawn in the primary text colour.
    QLabel* symbol(QWidget* parent, const char* name);
    // A row title over its caption, 2 apart; the caption label is returned through `caption`.
    QWidget* titleAndCaption(QWidget* parent, const QString& title, const QString& caption,
                             QLabel** captionLabel = nullptr);

    void applyTheme(const ThemePalette& palette, double devicePixelRatio);

private:
    std::vector<std::pair<QLabel*, Role>> labels_;
    std::vector<std::pair<QLabel*, const char*>> symbols_;
};

}  // namespace joulemap
