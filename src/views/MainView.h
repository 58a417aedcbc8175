#pragma once

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

#include "MainViewModel.h"
#include "TextBox.h"

namespace joulemap {

class BatteryHealthView;
class DetailListView;
class FlowTooltip;
class JoulemapViewModel;
class MainHeader;
class SankeyBoard;
class SankeyView;
class SidePanel;
class StatCard;
class SystemInfoService;
class SystemInfoView;
class ThemeManager;

// The main window's content: the header, the statistic cards, and the board with the flow diagram
// beside the destination list, battery health and system information. It owns the highlight the
// diagram and the list share, and starts the model's work when it is shown. The three objects it
// reads must outlive it.
class MainView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPadding = 18;
    static constexpr int kSpacing = 12;
    static constexpr int kBoardSpacing = 14;
    static constexpr int kSidePanelWidth = 300;
    static constexpr int kMinimumWidth = 900;
    static constexpr int kMinimumHeight = 560;
    static constexpr int kNetworkRefreshMs = 3000;

    MainView(JoulemapViewModel& model, ThemeManager& themeManager, SystemInfoService& systemInfo,
             QWidget* parent = nullptr);
    ~MainView() override;

    const MainViewModel::HighlightState& highlight() const { return highlight_; }

    MainHeader* header() const { return header_; }
    // Input, battery level, system, net battery power; the battery cards are hidden on a desktop.
    const std::array<StatCard*, 4>& cards() const { return cards_; }
    SankeyView* sankeyView() const;
    FlowTooltip* tooltip() const;
    DetailListView* detailList() const { return detailList_; }
    BatteryHealthView* healthView() const { return healthView_; }
    SystemInfoView* systemInfoView() const { return systemInfoView_; }
    const QTimer& networkTimer() const { return networkTimer_; }
    SidePanel* sidePanel() const { return sidePanel_; }

    // Every line of text the window lays out now, in the view's coordinates, each with the card it
    // belongs to; the tooltip's lie on a layer of their own above the diagram. The side panel's
    // cards count whole, scrolled into view or not; rows scrolled out of the destination list's
    // own scroll area do not.
    std::vector<PlacedTextBox> textBoxes() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void applyFlow();
    void applyBattery();
    void changeHighlight(const std::function<void(MainViewModel::HighlightState&)>& change);
    void applyHighlight();
    void updateCards();
    void syncAnimation();
    void invalidateBackground();
    const QPixmap& background();

    QPointer<JoulemapViewModel> model_;
    QPointer<ThemeManager> themeManager_;
    QPointer<SystemInfoService> systemInfo_;

    MainViewModel::HighlightState highlight_;

    MainHeader* header_ = nullptr;
    std::array<StatCard*, 4> cards_{};
    SankeyBoard* board_ = nullptr;
    DetailListView* detailList_ = nullptr;
    BatteryHealthView* healthView_ = nullptr;
    SystemInfoView* systemInfoView_ = nullptr;
    SidePanel* sidePanel_ = nullptr;

    QTimer networkTimer_;
    QPixmap background_;  // the three background layers, drawn once per size and theme
};

}  // namespace joulemap
