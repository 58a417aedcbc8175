#pragma once

#include <QPointer>
#include <QWidget>

namespace joulemap {

class FlowTooltip;
class SankeyView;
class ThemeManager;

// The card the diagram sits on, with the tooltip floating over its top-right corner.
class SankeyBoard : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPadding = 8;
    static constexpr int kTooltipInset = 12;

    explicit SankeyBoard(QWidget* parent = nullptr);

    // Without one, the light palette is used; passed on to the diagram and the tooltip.
    void setThemeManager(ThemeManager* manager);

    SankeyView* sankeyView() const { return sankey_; }
    FlowTooltip* tooltip() const { return tooltip_; }

    // Keeps the tooltip's card in the corner after its size changed.
    void placeTooltip();

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<ThemeManager> themeManager_;
    SankeyView* sankey_ = nullptr;
    FlowTooltip* tooltip_ = nullptr;
};

}  // namespace joulemap
