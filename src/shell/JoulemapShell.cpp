#include "JoulemapShell.h"

#include <QApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTimer>

#include "AuxWindowManager.h"
#include "ChangelogView.h"
#include "ChargeLimitService.h"
#include "ChargeSettingsBlock.h"
#include "HistoryView.h"
#include "JoulemapViewModel.h"
#include "MainHeader.h"
#include "MainView.h"
#include "MainWindow.h"
#include "MenuBarView.h"
#include "SettingsView.h"
#include "SystemInfoService.h"
#include "ThemeManager.h"
#include "TrayItem.h"
#include "TrayPanel.h"
#include "UpdateChecker.h"
#include "UpdateNoticeView.h"
#include "WindowActivation.h"

namespace joulemap {

JoulemapShell::JoulemapShell(JoulemapViewModel& model, ThemeManager& theme, SystemInfoService& systemInfo,
                             QSettings& settings, QObject* parent)
    : QObject(parent),
      model_(&model),
      theme_(&theme),
      systemInfo_(&systemInfo),
      settings_(settings),
      auxWindows_(std::make_unique<AuxWindowManager>(theme)) {
    model.setThemeManager(&theme);
    auxWindows_->setFactory(AuxWindowKey::settings, [this](ThemeManager* t) {
        auto* view = new SettingsView(t);
        view->chargeSettings()->setChargeLimitService(chargeLimit_);
        return view;
    });
    auxWindows_->setFactory(AuxWindowKey::changelog, [](ThemeManager* t) { return new ChangelogView(t); });
    auxWindows_->setFactory(AuxWindowKey::history, [](ThemeManager* t) { return new HistoryView(t); });

    // With a tray the program lives on with every window closed; without one, closing the main
    // window is the only way out the user has, so it quits (see updateTrayState).
    QApplication::setQuitOnLastWindowClosed(false);
    connect(this, &JoulemapShell::quitRequested, qApp, &QApplication::quit);

    tray_ = std::make_unique<TrayItem>(model);
    connect(tray_.get(), &TrayItem::panelToggleRequested, this, [this](QRect anchor) {
        if (panel_) panel_->toggle(anchor);
    });
    connect(tray_.get(), &TrayItem::availabilityChanged, this, &JoulemapShell::updateTrayState);
    connect(tray_.get(), &TrayItem::openMainWindowRequested, this, [this] { showMainWindow(); });
    connect(tray_.get(), &TrayItem::quitRequested, this, &JoulemapShell::quitRequested);
    makePanel();
    // Queued: the settings window that asked is made again, which must wait until its click is over.
    connect(&theme, &ThemeManager::languageChanged, this, &JoulemapShell::retranslate, Qt::QueuedConnection);
}

void JoulemapShell::makePanel() {
    if (!model_ || !theme_ || !systemInfo_) return;
    panel_ = new TrayPanel(*model_, *theme_, *systemInfo_);
    connect(panel_->view(), &MenuBarView::openMainWindowRequested, this, [this] {
        showMainWindow();
        QTimer::singleShot(kPanelCloseDelayMs, panel_, &QWidget::hide);
    });
    connect(panel_->view(), &MenuBarView::quitRequested, this, &JoulemapShell::quitRequested);
    auto* quitShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), panel_);
    connect(quitShortcut, &QShortcut::activated, this, &JoulemapShell::quitRequested);
    if (updateChecker_) panel_->view()->setUpdateNotice(new UpdateNoticeView(updateChecker_, theme_));
}

void JoulemapShell::retranslate() {
    if (model_) model_->refresh();
    tray_->retranslate();
    delete panel_.data();
    makePanel();
    if (mainWindow_ && mainWindow_->isVisible()) {
        // The new window opens on the frame the old one saved.
        delete mainWindow_.data();
        showMainWindow();
    }
    auxWindows_->reopenShown();
}

void JoulemapShell::setUpdateChecker(UpdateChecker* checker) {
    if (checker == nullptr) return;
    updateChecker_ = checker;
    connect(this, &JoulemapShell::startedUp, checker, &UpdateChecker::check);
    if (panel_ && theme_) panel_->view()->setUpdateNotice(new UpdateNoticeView(checker, theme_));
}

void JoulemapShell::setChargeLimitService(ChargeLimitService* service) { chargeLimit_ = service; }

JoulemapShell::~JoulemapShell() {
    delete mainWindow_.data();
    delete panel_.data();
}

MainWindow* JoulemapShell::mainWindow() const { return mainWindow_; }

TrayPanel* JoulemapShell::panel() const { return panel_; }

bool JoulemapShell::trayAvailable() const { return tray_->available(); }

void JoulemapShell::start(bool openMainWindow) {
    tray_->show();
    if (!openMainWindow && tray_->available()) return;
    QTimer::singleShot(kMainWindowDelayMs, this, [this] {
        showMainWindow();
        emit startedUp();
    });
}

void JoulemapShell::showMainWindow(const QString& activationToken) {
    if (!model_ || !theme_ || !systemInfo_) return;
    if (mainWindow_ && mainWindow_->isVisible()) {
        if (mainWindow_->isMinimized()) mainWindow_->showNormal();
        WindowActivation::activate(*mainWindow_, activationToken);
        return;
    }
    delete mainWindow_.data();
    mainWindow_ = new MainWindow(*model_, *theme_, *systemInfo_, settings_);
    connect(mainWindow_, &MainWindow::quitRequested, this, &JoulemapShell::quitRequested);
    connect(mainWindow_, &MainWindow::closed, this, [this] {
        if (!tray_->available()) emit quitRequested();
    }, Qt::QueuedConnection);
    updateTrayState();
    mainWindow_->show();
    WindowActivation::activate(*mainWindow_, activationToken);
    auxWindows_->enable();
}

void JoulemapShell::updateTrayState() {
    if (!mainWindow_) return;
    mainWindow_->mainView()->header()->setNotice(tray_->available() ? QString() : noTrayNotice());
}

QString JoulemapShell::noTrayNotice() { return tr("桌面没有系统托盘：关闭此窗口即退出焦图"); }

}  // namespace joulemap
