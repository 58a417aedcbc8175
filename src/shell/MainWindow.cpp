#include "MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "JoulemapViewModel.h"
#include "MainView.h"
#include "ThemeManager.h"
#include "WindowPlacement.h"
#include "WindowTheme.h"

namespace joulemap {

namespace {

WindowPlacement::Rect toRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect toQRect(const WindowPlacement::Rect& r) { return {r.x, r.y, r.width, r.height}; }

}  // namespace

MainWindow::MainWindow(JoulemapViewModel& model, ThemeManager& theme, SystemInfoService& systemInfo,
                       QSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(&model), theme_(&theme), settings_(settings) {
    setWindowTitle(tr("焦图"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mainView_ = new MainView(model, theme, systemInfo, this);
    layout->addWidget(mainView_);
    restoreFrame();
    // Without a tray this window is all the user has, so the panel's way out has to work here too.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setContext(Qt::WindowShortcut);
    connect(quit, &QShortcut::activated, this, &MainWindow::quitRequested);
    applyWindowTheme(*this, theme);
    connect(&theme, &ThemeManager::themeChanged, this, [this] {
        if (theme_) applyWindowTheme(*this, *theme_);
    });
}

void MainWindow::restoreFrame() {
    std::optional<WindowPlacement::Rect> saved;
    const QVariant value = settings_.value(QString::fromLatin1(kFrameKey));
    if (value.canConvert<QRect>() && value.toRect().isValid()) saved = toRect(value.toRect());
    std::vector<WindowPlacement::Rect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) screens.push_back(toRect(primary->availableGeometry()));
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) screens.push_back(toRect(screen->availableGeometry()));
    }
    setGeometry(toQRect(WindowPlacement::restoredFrame(saved, screens, {kContentWidth, kContentHeight},
                                                       {kMinimumWidth, kMinimumHeight})));
}

void MainWindow::saveFrame() {
    // Only frames the user can have chosen: not the ones set up before the window is shown, nor a
    // minimised or maximised state, which is no place to come back to.
    if (!isVisible() || isMinimized() || isMaximized() || isFullScreen()) return;
    settings_.setValue(QString::fromLatin1(kFrameKey), geometry());
}

void MainWindow::updateActivity() {
    if (model_) model_->setIsActive(isVisible() && !isMinimized());
}

bool MainWindow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            if (model_) model_->setIsActive(true);
            break;
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            // After the event is handled, when visibility and state have their new values.
            QTimer::singleShot(0, this, &MainWindow::updateActivity);
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    saveFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    saveFrame();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveFrame();
    if (model_) model_->setIsActive(false);
    QWidget::closeEvent(event);
    emit closed();
}

}  // namespace joulemap
