#include "SidePanel.h"

#include <QEvent>
#include <QScrollBar>

#include <algorithm>

#include "ThinScrollBar.h"

namespace joulemap {

namespace {

// Grey enough to read on the light and the dark background, so the column needs no theme.
const QColor kScrollBarHandle(128, 128, 128, 115);
constexpr int kScrollBarGap = 4;  // between the cards and the bar

}  // namespace

SidePanel::SidePanel(int spacing, QWidget* parent)
    : QScrollArea(parent), spacing_(spacing), content_(new QWidget) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    // Cards report new size hints to their parent; the column is laid out again then.
    content_->installEventFilter(this);
    setWidget(content_);
    // The window's background shows through between the cards; setWidget() has just switched the
    // content's own fill on.
    viewport()->setAutoFillBackground(false);
    content_->setAutoFillBackground(false);
    verticalScrollBar()->setStyleSheet(thinScrollBarStyle(kScrollBarHandle));
}

void SidePanel::setCards(std::vector<QWidget*> cards) {
    cards_ = std::move(cards);
    for (QWidget* card : cards_) {
        card->setParent(content_);
        card->installEventFilter(this);
    }
    relayout();
}

void SidePanel::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    relayout();
}

bool SidePanel::eventFilter(QObject* watched, QEvent* event) {
    const bool cardChanged = watched != content_ &&
                             (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent);
    if (event->type() == QEvent::LayoutRequest || cardChanged) relayout();
    return QScrollArea::eventFilter(watched, event);
}

int SidePanel::naturalHeight(const QWidget* card, int width) const {
    return card->hasHeightForWidth() ? card->heightForWidth(width) : card->sizeHint().height();
}

void SidePanel::relayout() {
    if (relayouting_ || cards_.empty()) return;
    relayouting_ = true;

    QWidget* flexible = cards_.front();
    const auto fixedHeight = [&](int width) {
        int height = 0;
        for (std::size_t i = 1; i < cards_.size(); ++i) {
            if (!cards_[i]->isHidden()) height += spacing_ + naturalHeight(cards_[i], width);
        }
        return height;
    };
    const int flexibleMinimum = flexible->isHidden() ? 0 : flexible->minimumSizeHint().height();

    // Decided before the cards are placed: a scroll bar takes width from them.
    const bool scrolls = flexibleMinimum + fixedHeight(width()) > height();
    setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int cardWidth =
        scrolls ? width() - verticalScrollBar()->sizeHint().width() - kScrollBarGap : width();

    // When the column scrolls anyway, the flexible card gets all the height it wants: a list
    // scrolling inside a scrolling column would put two scroll bars side by side.
    const int fixed = fixedHeight(cardWidth);
    const int flexibleHeight = flexible->isHidden() ? 0
                               : scrolls ? std::max(flexibleMinimum, naturalHeight(flexible, cardWidth))
                                         : height() - fixed;
    const int contentHeight = flexibleHeight + fixed;
    content_->resize(cardWidth, contentHeight);

    int y = flexibleHeight;
    flexible->setGeometry(0, 0, cardWidth, flexibleHeight);
    for (std::size_t i = 1; i < cards_.size(); ++i) {
        QWidget* card = cards_[i];
        if (card->isHidden()) continue;
        const int cardHeight = naturalHeight(card, cardWidth);
        card->setGeometry(0, y + spacing_, cardWidth, cardHeight);
        y += spacing_ + cardHeight;
    }
    relayouting_ = false;
}

}  // namespace joulemap
