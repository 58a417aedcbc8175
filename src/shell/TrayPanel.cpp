#include "TrayPanel.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "ThemeManager.h"
#include "JoulemapViewModel.h"
#include "MenuBarView.h"
#include "SystemInfoService.h"
#include "WindowPlacement.h"

namespace joulemap {

namespace {

// A tray click that arrives this soon after the popup closed is the click that closed it.
constexpr qint64 kReopenGuardMs = 250;

bool windowsPlaceThemselves() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace

TrayPanel::TrayPanel(JoulemapViewModel& model, ThemeManager& theme, SystemInfoService& systemInfo, QWidget* parent)
    : QWidget(parent), model_(&model), systemInfo_(&systemInfo), placeable_(windowsPlaceThemselves()) {
    setWindowFlags(placeable_ ? Qt::Popup | Qt::FramelessWindowHint
                              : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Joulemap"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    view_ = new MenuBarView(model, theme, this);
    layout->addWidget(view_);
}

void TrayPanel::toggle(const QRect& anchor) {
    if (isVisible()) {
        hide();
        return;
    }
    if (QDateTime::currentMSecsSinceEpoch() - hiddenAtMs_ < kReopenGuardMs) return;
    openAt(anchor);
}

void TrayPanel::openAt(const QRect& anchor) {
    adjustSize();
    if (placeable_) {
        QScreen* screen = QGuiApplication::screenAt(anchor.center());
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            const auto frame = WindowPlacement::popupFrame({anchor.x(), anchor.y(), anchor.width(), anchor.height()},
                                                           {width(), height()},
                                                           {area.x(), area.y(), area.width(), area.height()});
            move(frame.x, frame.y);
        }
    }
    show();
    raise();
    activateWindow();
}

void TrayPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (model_) model_->setIsActive(true);
    if (systemInfo_) systemInfo_->loadAsync();
}

void TrayPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    hiddenAtMs_ = QDateTime::currentMSecsSinceEpoch();
    if (model_) model_->setIsActive(false);
}

void TrayPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TrayPanel::event(QEvent* event) {
    // An undecorated window has no outside click to close it; losing focus is the same gesture.
    if (!placeable_ && event->type() == QEvent::WindowDeactivate) hide();
    return QWidget::event(event);
}

}  // namespace joulemap
