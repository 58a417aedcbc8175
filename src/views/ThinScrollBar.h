#pragma once

#include <QColor>
#include <QString>

class QScrollArea;
class QWidget;

namespace joulemap {

// Style sheet for a vertical scroll bar drawn as a thin rounded handle only: no arrow buttons and
// no track, so it sits quietly on the cards in either theme. Set it on the scroll bar itself, not
// on the area, so the area's children keep their own look.
QString thinScrollBarStyle(const QColor& handle);

// Fills `owner` with a frameless area that scrolls vertically only and lets the window's background
// show through; the caller sets its content.
QScrollArea* fillWithScrollArea(QWidget* owner);

}  // namespace joulemap
