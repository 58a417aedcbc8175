#pragma once

#include <QRectF>
#include <QString>

#include <vector>

namespace joulemap {

// Where one line of text sits: its line box (advance width × line height) and what it reads. The
// views report the boxes they lay out so a test can check that no text covers another or leaves
// its card.
struct TextBox {
    QRectF rect;
    QString text;
};

using TextBoxes = std::vector<TextBox>;

// A text box of a card in an ancestor's coordinates, with the card's own rectangle (`frame`) the
// box must stay inside. Boxes of one layer may not overlap; a higher layer (the tooltip floating
// over the diagram) is only checked against itself.
struct PlacedTextBox {
    TextBox box;
    QRectF frame;
    QString card;
    int layer = 0;
};

}  // namespace joulemap
