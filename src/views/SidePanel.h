#pragma once

#include <QScrollArea>

#include <vector>

namespace joulemap {

// The column beside the diagram: one flexible card on top (the destination list, which scrolls on
// its own) and cards of natural height under it. The flexible card gives up height first, down to
// its minimum; only when even that does not fit does the whole column scroll, with the flexible
// card at its full height, so no card is ever squeezed over another and only one scroll bar shows.
class SidePanel : public QScrollArea {
    Q_OBJECT

public:
    explicit SidePanel(int spacing, QWidget* parent = nullptr);

    // The cards, top to bottom; the first one takes the height that is left. Hidden cards take no room.
    void setCards(std::vector<QWidget*> cards);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();
    int naturalHeight(const QWidget* card, int width) const;

    int spacing_;
    QWidget* content_ = nullptr;
    std::vector<QWidget*> cards_;
    bool relayouting_ = false;
};

}  // namespace joulemap
