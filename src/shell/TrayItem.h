#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

namespace joulemap {

class JoulemapViewModel;
class StatusNotifierItem;

// The tray item: the charge drawn as its icon and tooltip, the panel on a left click, "打开主窗口"
// and "退出" on a right click. It is a StatusNotifierItem while a watcher is on the session bus
// (panels may start later, or restart), otherwise an X11 tray icon, made only then: Qt decides once,
// when its first tray icon is made, whether icons go over D-Bus. The icon is drawn again only when
// the title text changes.
class TrayItem : public QObject {
    Q_OBJECT

public:
    // How often to look for an X11 tray while there is no host at all.
    static constexpr int kTrayPollMs = 10000;

    explicit TrayItem(JoulemapViewModel& model, QObject* parent = nullptr);
    ~TrayItem() override;

    void show();
    // The menu and tooltip in the language now in use.
    void retranslate();
    const QString& title() const { return title_; }
    const QString& toolTip() const { return toolTip_; }
    // How many times the icon was drawn; the title changes far less often than the model publishes.
    int renderCount() const { return renderCount_; }
    // The X11 tray icon, null until one was needed.
    QSystemTrayIcon* icon() const { return icon_.get(); }
    StatusNotifierItem* statusNotifierItem() const { return sni_.get(); }

    // Whether a tray host shows the item now.
    bool available() const { return available_; }
    // For the shell's tests and for the watchers below.
    void setAvailable(bool available);

    // Where the panel should open: the icon's rectangle, or a point at the pointer when the tray
    // does not tell.
    QRect anchor() const;

signals:
    void panelToggleRequested(QRect anchor);
    void openMainWindowRequested();
    void quitRequested();
    void availabilityChanged(bool available);

private:
    void updateTitle();
    void onHostPresence(bool present);
    void ensureXEmbedIcon();
    void pollXEmbedTray();

    QPointer<JoulemapViewModel> model_;
    std::unique_ptr<StatusNotifierItem> sni_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QMenu menu_;
    QTimer poll_;
    QString title_;
    QString toolTip_;
    QRect lastAnchor_;
    bool shown_ = false;
    bool available_ = false;
    int renderCount_ = 0;
};

}  // namespace joulemap
