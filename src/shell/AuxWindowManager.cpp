#include "AuxWindowManager.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "NotificationHub.h"
#include "ThemeManager.h"
#include "Translations.h"
#include "WindowTheme.h"

namespace joulemap {

namespace {

std::size_t slot(AuxWindowKey key) { return static_cast<std::size_t>(key); }

}  // namespace

AuxWindowManager::AuxWindowManager(ThemeManager& theme, QObject* parent) : QObject(parent), theme_(&theme) {
    for (const AuxWindowTraits& traits : auxWindowTraitsList()) {
        NotificationHub::instance().subscribe(QString::fromUtf8(traits.request.data(), qsizetype(traits.request.size())), this,
                                              [this, key = traits.key] {
                                                  if (enabled_) show(key);
                                              });
    }
}

AuxWindowManager::~AuxWindowManager() {
    for (auto& window : windows_) delete window.data();
}

void AuxWindowManager::setFactory(AuxWindowKey key, Factory factory) { factories_[slot(key)] = std::move(factory); }

QWidget* AuxWindowManager::window(AuxWindowKey key) const { return windows_[slot(key)]; }

void AuxWindowManager::reopenShown() {
    for (const AuxWindowTraits& traits : auxWindowTraitsList()) {
        QPointer<QWidget>& current = windows_[slot(traits.key)];
        if (!current || !current->isVisible()) continue;
        const QPoint at = current->pos();
        delete current.data();
        show(traits.key);
        if (current) current->move(at);
    }
}

void AuxWindowManager::show(AuxWindowKey key) {
    QPointer<QWidget>& current = windows_[slot(key)];
    if (current && current->isVisible()) {
        current->raise();
        current->activateWindow();
        return;
    }
    delete current.data();

    const AuxWindowTraits& traits = auxWindowTraits(key);
    auto* window = new QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                            Qt::WindowMinimizeButtonHint);
    window->setWindowTitle(Translations::text(traits.title));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    const Factory& factory = factories_[slot(key)];
    layout->addWidget(factory ? factory(theme_) : new QLabel(window));
    window->setFixedSize(traits.width, traits.height);
    if (theme_) {
        applyWindowTheme(*window, *theme_);
        connect(theme_, &ThemeManager::themeChanged, window, [this, window] {
            if (theme_) applyWindowTheme(*window, *theme_);
        });
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(traits.width / 2, traits.height / 2));
    }
    current = window;
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace joulemap
