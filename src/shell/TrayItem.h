#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>

namespace joulemap {

class JoulemapViewModel;

// The tray item: the charge drawn as its icon and tooltip, the panel on a left click, "打开主窗口"
// and "退出" on a right click. The icon is drawn again only when the title text changes.
class TrayItem : public QObject {
    Q_OBJECT

public:
    explicit TrayItem(JoulemapViewModel& model, QObject* parent = nullptr);

    void show();
    const QString& title() const { return title_; }
    // How many times the icon was drawn; the title changes far less often than the model publishes.
    int renderCount() const { return renderCount_; }
    QSystemTrayIcon& icon() { return icon_; }

    // Where the panel should open: the icon's rectangle, or a point at the pointer when the tray
    // does not tell.
    QRect anchor() const;

signals:
    void panelToggleRequested();
    void openMainWindowRequested();
    void quitRequested();

private:
    void updateTitle();

    QPointer<JoulemapViewModel> model_;
    QSystemTrayIcon icon_;
    QMenu menu_;
    QString title_;
    int renderCount_ = 0;
};

}  // namespace joulemap
