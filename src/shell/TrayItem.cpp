#include "TrayItem.h"

#include <QCursor>

#include "ThemeManager.h"
#include "JoulemapViewModel.h"
#include "MenuBarTitle.h"
#include "TrayTitleIcon.h"

namespace joulemap {

namespace {
const char* const kOpenMainWindow = "打开主窗口";
const char* const kQuit = "退出";
}  // namespace

TrayItem::TrayItem(JoulemapViewModel& model, QObject* parent) : QObject(parent), model_(&model) {
    connect(menu_.addAction(QString::fromUtf8(kOpenMainWindow)), &QAction::triggered, this,
            &TrayItem::openMainWindowRequested);
    connect(menu_.addAction(QString::fromUtf8(kQuit)), &QAction::triggered, this, &TrayItem::quitRequested);
    icon_.setContextMenu(&menu_);
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) emit panelToggleRequested();
    });
    connect(&model, &JoulemapViewModel::batteryChanged, this, &TrayItem::updateTitle);
    connect(&model, &JoulemapViewModel::hasBatteryChanged, this, &TrayItem::updateTitle);
    updateTitle();
}

void TrayItem::show() { icon_.show(); }

QRect TrayItem::anchor() const {
    const QRect geometry = icon_.geometry();
    if (geometry.isValid() && !geometry.isEmpty()) return geometry;
    return {QCursor::pos(), QSize(0, 0)};
}

void TrayItem::updateTitle() {
    if (!model_) return;
    const QString title = QString::fromStdString(menuBarTitle(model_->battery(), model_->hasBattery()));
    if (title == title_) return;
    title_ = title;
    ++renderCount_;
    icon_.setIcon(TrayTitleIcon::icon(title));
    icon_.setToolTip(title);
}

}  // namespace joulemap
