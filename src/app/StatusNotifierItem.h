#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QDBusServiceWatcher;

namespace joulemap {

class DBusMenuExporter;

// The tray item as the freedesktop StatusNotifierItem protocol has it: a small object on the
// session bus that a panel's tray host reads (title, icon, tooltip) and calls (clicks). It offers
// itself to org.kde.StatusNotifierWatcher every time a watcher appears, so a panel started after
// the program, or restarted, still shows the item.
class StatusNotifierItem : public QDBusVirtualObject {
    Q_OBJECT

public:
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
    static constexpr const char* kItemPath = "/StatusNotifierItem";
    static constexpr const char* kMenuPath = "/MenuBar";

    // `menuLabels` are the menu's entries in order; a click on one emits menuItemClicked(index).
    StatusNotifierItem(const QDBusConnection& bus, const QStringList& menuLabels, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // False when the bus is not there or the names could not be taken.
    bool isExported() const { return exported_; }
    // True while a watcher is on the bus: a host can show the item.
    bool isHostPresent() const { return hostPresent_; }
    QString serviceName() const { return serviceName_; }

    // The icon at several sizes and the tooltip. Hosts hear of a change only when there is one.
    void setIcon(const QList<QImage>& images);
    void setToolTip(const QString& title, const QString& text);
    // New words for the menu's items (a change of language); hosts are told to read it again,
    // and the title with it.
    void setMenuLabels(const QStringList& labels);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

signals:
    void hostPresenceChanged(bool present);
    // A point on the screen where the host clicked; a null point when it does not say.
    void activateRequested(QPoint at);
    void secondaryActivateRequested();
    void contextMenuRequested(QPoint at);
    void menuItemClicked(int index);

private:
    void onWatcherAppeared();
    void setHostPresent(bool present);
    void emitSignal(const char* name);
    QVariant property(const QString& name) const;
    QVariantMap allProperties() const;

    QDBusConnection bus_;
    QString serviceName_;
    bool exported_ = false;
    bool hostPresent_ = false;
    QDBusServiceWatcher* watcher_ = nullptr;
    DBusMenuExporter* menu_ = nullptr;
    QList<QImage> images_;
    QString toolTipTitle_;
    QString toolTipText_;
};

// The item's menu for hosts that draw it themselves (com.canonical.dbusmenu): a flat list of
// labels, the same items whatever their words.
class DBusMenuExporter : public QDBusVirtualObject {
    Q_OBJECT

public:
    explicit DBusMenuExporter(QStringList labels, QObject* parent = nullptr);
    // Returns the layout's new revision.
    uint setLabels(QStringList labels);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

signals:
    void clicked(int index);

private:
    QVariantMap itemProperties(int id) const;
    void event(int id, const QString& eventId);

    QStringList labels_;
    uint revision_ = 1;
};

}  // namespace joulemap
