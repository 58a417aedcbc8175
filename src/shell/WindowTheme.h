#pragma once

class QWidget;

namespace joulemap {

class ThemeManager;

// Gives a top-level window the resolved theme: the first background colour behind its content and
// text colours to match, so plain widgets inside read well in the dark theme too.
void applyWindowTheme(QWidget& window, const ThemeManager& theme);

}  // namespace joulemap
