#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class QSettings;

namespace joulemap {

class AuxWindowManager;
class JoulemapViewModel;
class MainWindow;
class ChargeLimitService;
class SystemInfoService;
class ThemeManager;
class TrayItem;
class TrayPanel;
class UpdateChecker;

// Everything that owns windows: the tray item and its panel, the main window and the auxiliary
// windows. It opens the main window shortly after the tray item is in place, brings it back on
// request, and keeps the program running with its windows closed as long as there is a tray to
// reach it from. Every way out (the tray menu, the panel, Ctrl+Q, closing the main window with no
// tray) goes through quitRequested. The shared objects must outlive it.
class JoulemapShell : public QObject {
    Q_OBJECT

public:
    // After the tray item (or, without a tray, the start) and before the main window opens.
    static constexpr int kMainWindowDelayMs = 200;
    // "打开主窗口" closes the panel this long after raising the window.
    static constexpr int kPanelCloseDelayMs = 100;
    // Shown in the main window while no tray host is there.
    static QString noTrayNotice();

    JoulemapShell(JoulemapViewModel& model, ThemeManager& theme, SystemInfoService& systemInfo, QSettings& settings,
                  QObject* parent = nullptr);
    ~JoulemapShell() override;

    // The panel shows the updater's notice, and one check runs once the main window is open at
    // start-up. Call before start(); without it there is no notice and no check.
    void setUpdateChecker(UpdateChecker* checker);
    // The charge limit the settings window shows and sets; without one it reads as not offered.
    void setChargeLimitService(ChargeLimitService* service);

    // Installs the tray item and schedules the main window. `openMainWindow` false keeps it closed,
    // but only with a tray host present: a program with neither a window nor a tray could not be reached.
    void start(bool openMainWindow = true);

    // Raises the main window when it is shown, otherwise opens a new one. `activationToken` is the
    // xdg-activation token of the launch that asked, if any; Wayland needs it to bring the window forward.
    void showMainWindow(const QString& activationToken = QString());

    MainWindow* mainWindow() const;
    // Whether a tray host shows the item now; it may come and go while the program runs.
    bool trayAvailable() const;
    TrayItem* trayItem() const { return tray_.get(); }
    TrayPanel* panel() const;
    AuxWindowManager& auxWindows() const { return *auxWindows_; }

signals:
    // The start-up main window is open; the moment for the first update check.
    void startedUp();
    // The user asked to end the program; it is connected to the application's quit.
    void quitRequested();

private:
    void updateTrayState();
    void makePanel();
    // After a change of language: every window is made again in it, where it was.
    void retranslate();

    QPointer<JoulemapViewModel> model_;
    QPointer<ThemeManager> theme_;
    QPointer<SystemInfoService> systemInfo_;
    QPointer<ChargeLimitService> chargeLimit_;
    QPointer<UpdateChecker> updateChecker_;
    QSettings& settings_;
    std::unique_ptr<TrayItem> tray_;
    QPointer<TrayPanel> panel_;
    std::unique_ptr<AuxWindowManager> auxWindows_;
    QPointer<MainWindow> mainWindow_;
};

}  // namespace joulemap
