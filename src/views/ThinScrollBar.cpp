#include "ThinScrollBar.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace joulemap {

QScrollArea* fillWithScrollArea(QWidget* owner) {
    auto* outer = new QVBoxLayout(owner);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* area = new QScrollArea(owner);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    area->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    outer->addWidget(area);
    return area;
}


QString thinScrollBarStyle(const QColor& handle) {
    // #AARRGGBB keeps the handle's opacity without depending on how rgba() alpha is read.
    return QStringLiteral(
               "QScrollBar:vertical { width: 6px; background: transparent; margin: 0; }"
               "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 24px; }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; border: none; background: transparent; }"
               "QScrollBar::up-arrow:vertical, QScrollBar::down-arrow:vertical { width: 0; height: 0; background: none; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
        .arg(handle.name(QColor::HexArgb));
}

}  // namespace joulemap
