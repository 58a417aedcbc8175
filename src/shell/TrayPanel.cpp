#include "TrayPanel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QScreen>
#include <QVBoxLayout>

#include "ThemeManager.h"
#include "JoulemapViewModel.h"
#include "MenuBarView.h"
#include "SwayIpc.h"
#include "SystemInfoService.h"
#include "WindowPlacement.h"

namespace joulemap {

namespace {

// A tray click that arrives this soon after the popup closed is the click that closed it.
constexpr qint64 kReopenGuardMs = 250;
// sway knows a new window a moment after show(); until then a command finds nothing to move.
constexpr int kPlaceRetryMs = 30;
constexpr int kPlaceAttempts = 10;

WindowPlacement::Rect toRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

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
            const auto frame = WindowPlacement::popupFrame(toRect(anchor), {width(), height()}, toRect(area));
            move(frame.x, frame.y);
        }
    }
    show();
    raise();
    activateWindow();
    if (!placeable_) placeThroughCompositor();
}

void TrayPanel::placeThroughCompositor() {
    const SwayIpc sway;
    if (!sway.available()) return;
    const auto area = sway.focusedWorkspaceArea();
    if (!area) return;
    // A host on Wayland knows no screen positions: the point it passes is within its own surface
    // (waybar gives the click inside the icon), so it cannot say where the tray is. The bar's side
    // can be told from the room it takes off the output; the tray is at its right end, as bars keep it.
    const auto output = sway.focusedOutput();
    const bool barBelow = output && area->top() == output->top() && area->bottom() < output->bottom();
    const QRect at(area->right(), barBelow ? area->bottom() : area->top(), 0, 0);
    const auto frame = WindowPlacement::popupFrame(toRect(at), {width(), height()}, toRect(*area));
    placeCommand_ = QStringLiteral("[pid=%1 title=\"^%2$\"] floating enable, move absolute position %3 %4")
                                .arg(QCoreApplication::applicationPid())
                                .arg(windowTitle())
                                .arg(frame.x)
                                .arg(frame.y);
    placeAttemptsLeft_ = kPlaceAttempts;
    sendPlacement();
}

void TrayPanel::sendPlacement() {
    if (!isVisible() || placeAttemptsLeft_ <= 0) return;
    --placeAttemptsLeft_;
    if (!SwayIpc().run(placeCommand_)) QTimer::singleShot(kPlaceRetryMs, this, &TrayPanel::sendPlacement);
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
