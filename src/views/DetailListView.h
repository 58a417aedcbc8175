#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "DestinationListModel.h"
#include "PowerDestination.h"
#include "PowerGroup.h"
#include "TextBox.h"

class QScrollArea;

namespace joulemap {

class ThemeManager;

// The "功率去向明细" card: every destination of the flow, grouped in collapsible blocks with
// subtotals, shares and bars. Pointing at a row or a group header is reported to the owner, which
// emphasises the same destination or group everywhere; the list fades what is not emphasised.
class DetailListView : public QWidget {
    Q_OBJECT

public:
    explicit DetailListView(QWidget* parent = nullptr);
    ~DetailListView() override;

    // Without one, the light palette is used.
    void setThemeManager(ThemeManager* manager);

    void setDestinations(const std::vector<PowerDestination>& destinations);
    void setHighlight(std::optional<std::string> id, std::optional<PowerGroup> group);

    // Raw values ("硬件", "应用", "电池") of the collapsed groups; the owner sets the initial set.
    void setCollapsed(std::set<std::string> rawValues);
    const std::set<std::string>& collapsed() const { return collapsed_; }
    // What a click on the group's header does.
    void toggleCollapse(PowerGroup group);

    // Outputs: the row or group header the pointer is over, nothing when it leaves.
    std::function<void(std::optional<std::string>)> onHoverItem;
    std::function<void(std::optional<PowerGroup>)> onHoverGroup;

    // The scrolled widget holding the blocks, and where a header or row lies in it (absent when
    // not shown), so the pointer can be aimed without a screen.
    QWidget* listContent() const;
    std::optional<QRectF> headerRect(PowerGroup group) const;
    std::optional<QRectF> rowRect(const std::string& id) const;

    // The lines of text as painted and visible, in the card's coordinates: the title row's, and
    // the list's as far as its scroll area shows them.
    TextBoxes textBoxes() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Content;

    struct RowPlace {
        PowerDestination item;
        QRectF rect;
    };
    struct BlockPlace {
        PowerGroup group = PowerGroup::hardware;
        QRectF header;
        std::vector<RowPlace> rows;
        std::optional<double> dividerY;  // above this block
    };
    // Where the pointer rests: a header or a row, never both.
    struct HoverTarget {
        std::optional<PowerGroup> group;
        std::optional<std::string> id;

        bool operator==(const HoverTarget&) const = default;
    };

    void applyScrollBarStyle();
    void relayout();
    double contentHeight() const;
    double titleHeight() const;
    void paintTitle(QPainter& painter, TextBoxes* boxes) const;
    void paintContent(QPainter& painter, double width, TextBoxes* boxes) const;
    void paintHeader(QPainter& painter, const BlockPlace& place, const DestinationListModel::Block& block,
                     TextBoxes* boxes) const;
    void paintRow(QPainter& painter, const RowPlace& place, TextBoxes* boxes) const;
    HoverTarget targetAt(QPointF position) const;
    void hoverTo(const HoverTarget& target);

    QPointer<ThemeManager> themeManager_;
    DestinationListModel::Model model_;
    std::optional<std::string> highlightedId_;
    std::optional<PowerGroup> highlightedGroup_;
    std::set<std::string> collapsed_;

    std::vector<BlockPlace> places_;
    double placedHeight_ = 0;
    HoverTarget hovered_;

    QScrollArea* scrollArea_ = nullptr;
    Content* content_ = nullptr;
};

}  // namespace joulemap
