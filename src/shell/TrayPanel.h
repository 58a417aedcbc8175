#pragma once

#include <QPointer>
#include <QWidget>

namespace joulemap {

class JoulemapViewModel;
class MenuBarView;
class SystemInfoService;
class ThemeManager;

// The window the tray panel lives in: a frameless popup beside the tray icon that closes on a click
// outside or Escape. Where a window cannot place itself (Wayland) it is a small undecorated window
// that closes when it loses focus. While it is shown the model refreshes quickly.
class TrayPanel : public QWidget {
    Q_OBJECT

public:
    TrayPanel(JoulemapViewModel& model, ThemeManager& theme, SystemInfoService& systemInfo, QWidget* parent = nullptr);

    MenuBarView* view() const { return view_; }

    // Opens beside `anchor` (the icon's rectangle, or a point), or closes when open. A click on the
    // icon first closes the popup by itself; such a click only closes it, rather than reopening it.
    void toggle(const QRect& anchor);
    void openAt(const QRect& anchor);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    // On Wayland the compositor places windows; sway can be told where.
    void placeThroughCompositor();
    void sendPlacement();

    QPointer<JoulemapViewModel> model_;
    QPointer<SystemInfoService> systemInfo_;
    MenuBarView* view_ = nullptr;
    qint64 hiddenAtMs_ = 0;
    bool placeable_ = true;
    QString placeCommand_;
    int placeAttemptsLeft_ = 0;
};

}  // namespace joulemap
