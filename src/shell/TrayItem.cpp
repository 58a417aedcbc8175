#include "TrayItem.h"

#include <QCursor>
#include <QDBusConnection>
#include <QGuiApplication>

#include <cmath>

#include "JoulemapViewModel.h"
#include "MenuBarTitle.h"
#include "NumberFormat.h"
#include "StatusNotifierItem.h"
#include "ThemeManager.h"
#include "TrayTitleIcon.h"

namespace joulemap {

namespace {

// The sizes hosts pick from; each is drawn for its size rather than scaled.
constexpr int kIconSides[] = {16, 22, 24, 32, 48, 64};

QString openMainWindowLabel() { return QObject::tr("打开主窗口"); }
QString quitLabel() { return QObject::tr("退出"); }

// "78 % · 放电 9.1 W": the charge and what flows through the battery; a figure not read says so.
QString toolTipText(const BatteryInfo& battery, bool hasBattery) {
    if (!hasBattery) return QObject::tr("未检测到电池");
    const QString charge = battery.currentCapacityPct
                               ? QStringLiteral("%1 %").arg(*battery.currentCapacityPct)
                               : QObject::tr("电量未知");
    QString flow;
    if (battery.isCharging) {
        flow = QObject::tr("充电 %1").arg(QString::fromStdString(formatWatts(std::abs(battery.instantPowerWatts()), true)));
    } else if (battery.dischargeWatts() > 0) {
        flow = QObject::tr("放电 %1").arg(QString::fromStdString(formatWatts(battery.dischargeWatts(), true)));
    } else if (battery.isPluggedIn()) {
        flow = QObject::tr("已接电源");
    } else {
        flow = QObject::tr("功率未知");
    }
    return charge + QStringLiteral(" · ") + flow;
}

}  // namespace

TrayItem::TrayItem(JoulemapViewModel& model, QObject* parent) : QObject(parent), model_(&model) {
    connect(menu_.addAction(openMainWindowLabel()), &QAction::triggered, this, &TrayItem::openMainWindowRequested);
    connect(menu_.addAction(quitLabel()), &QAction::triggered, this, &TrayItem::quitRequested);

    sni_ = std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus(),
                                                QStringList{openMainWindowLabel(), quitLabel()});
    connect(sni_.get(), &StatusNotifierItem::activateRequested, this, [this](QPoint at) {
        lastAnchor_ = at.isNull() ? QRect() : QRect(at, QSize(0, 0));
        emit panelToggleRequested(anchor());
    });
    connect(sni_.get(), &StatusNotifierItem::secondaryActivateRequested, this, &TrayItem::openMainWindowRequested);
    connect(sni_.get(), &StatusNotifierItem::contextMenuRequested, this, [this](QPoint at) {
        menu_.popup(at.isNull() ? QCursor::pos() : at);
    });
    connect(sni_.get(), &StatusNotifierItem::menuItemClicked, this, [this](int index) {
        if (index == 0) emit openMainWindowRequested();
        if (index == 1) emit quitRequested();
    });
    connect(sni_.get(), &StatusNotifierItem::hostPresenceChanged, this, &TrayItem::onHostPresence);

    poll_.setInterval(kTrayPollMs);
    connect(&poll_, &QTimer::timeout, this, &TrayItem::pollXEmbedTray);

    connect(&model, &JoulemapViewModel::batteryChanged, this, &TrayItem::updateTitle);
    connect(&model, &JoulemapViewModel::hasBatteryChanged, this, &TrayItem::updateTitle);
    updateTitle();
}

TrayItem::~TrayItem() = default;

void TrayItem::retranslate() {
    const QStringList labels{openMainWindowLabel(), quitLabel()};
    const QList<QAction*> actions = menu_.actions();
    for (int i = 0; i < actions.size() && i < labels.size(); ++i) actions[i]->setText(labels[i]);
    sni_->setMenuLabels(labels);
    updateTitle();
}

void TrayItem::show() {
    shown_ = true;
    if (sni_->isHostPresent()) {
        onHostPresence(true);
    } else {
        pollXEmbedTray();
    }
}

void TrayItem::setAvailable(bool available) {
    if (available == available_) return;
    available_ = available;
    emit availabilityChanged(available);
}

void TrayItem::onHostPresence(bool present) {
    if (!shown_) return;
    if (present) {
        poll_.stop();
        if (icon_) icon_->hide();
        setAvailable(true);
        return;
    }
    setAvailable(false);
    pollXEmbedTray();
}

void TrayItem::ensureXEmbedIcon() {
    if (icon_) return;
    icon_ = std::make_unique<QSystemTrayIcon>();
    icon_->setContextMenu(&menu_);
    icon_->setIcon(TrayTitleIcon::icon(title_));
    icon_->setToolTip(title_ + QLatin1Char('\n') + toolTip_);
    connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        lastAnchor_ = QRect();
        if (reason == QSystemTrayIcon::Trigger) emit panelToggleRequested(anchor());
    });
}

void TrayItem::pollXEmbedTray() {
    // Only asked with no watcher on the bus, so Qt settles on the X11 tray for its icon.
    if (sni_->isHostPresent()) return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Only X11 has a tray of windows to look for; elsewhere the bus watcher is the one way in.
        const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
        if (x11 && !poll_.isActive()) poll_.start();
        return;
    }
    poll_.stop();
    ensureXEmbedIcon();
    // show() again docks the icon in a tray that came after it.
    icon_->hide();
    icon_->show();
    setAvailable(true);
}

QRect TrayItem::anchor() const {
    if (lastAnchor_.isValid() || !lastAnchor_.topLeft().isNull()) return lastAnchor_;
    if (icon_ && icon_->isVisible()) {
        const QRect geometry = icon_->geometry();
        if (geometry.isValid() && !geometry.isEmpty()) return geometry;
    }
    return {QCursor::pos(), QSize(0, 0)};
}

void TrayItem::updateTitle() {
    if (!model_) return;
    const QString title = QString::fromStdString(menuBarTitle(model_->battery(), model_->hasBattery()));
    const QString tip = toolTipText(model_->battery(), model_->hasBattery());
    if (tip != toolTip_) {
        toolTip_ = tip;
        sni_->setToolTip(QObject::tr("焦图"), toolTip_);
        if (icon_) icon_->setToolTip(title + QLatin1Char('\n') + toolTip_);
    }
    if (title == title_) return;
    title_ = title;
    ++renderCount_;
    QList<QImage> images;
    for (const int side : kIconSides) images.append(TrayTitleIcon::render(title, side, 1.0));
    sni_->setIcon(images);
    if (icon_) icon_->setIcon(TrayTitleIcon::icon(title));
}

}  // namespace joulemap
