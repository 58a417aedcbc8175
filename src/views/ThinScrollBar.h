#pragma once

#include <QColor>
#include <QString>

namespace joulemap {

// Style sheet for a vertical scroll bar drawn as a thin rounded handle only: no arrow buttons and
// no track, so it sits quietly on the cards in either theme. Set it on the scroll bar itself, not
// on the area, so the area's children keep their own look.
QString thinScrollBarStyle(const QColor& handle);

}  // namespace joulemap
