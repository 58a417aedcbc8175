#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusReply>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QDBusPendingCallWatcher>

#include "DbusTestBus.h"
#include "StatusNotifierItem.h"

namespace joulemap {
namespace {

class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    QStringList registered;

public slots:
    void RegisterStatusNotifierItem(const QString& service) { registered.append(service); }
};

// The item answers on this thread, so a call waits with the event loop running (QDBusInterface would block).
struct Target {
    QDBusConnection bus;
    QString service, path, interface;
};

QDBusMessage callAndWait(Target& target, const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(target.service, target.path, target.interface, method);
    call.setArguments(args);
    QDBusPendingCallWatcher watcher(target.bus.asyncCall(call));
    QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
    if (!watcher.isFinished()) finished.wait(5000);
    return watcher.reply();
}

bool startWatcher(QDBusConnection& bus, FakeWatcher& watcher) {
    return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher, QDBusConnection::ExportAllSlots) &&
           bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

TEST(StatusNotifierItemTest, RegistersWithEveryWatcherAndAnswersHosts) {
    DbusTestBus bus;
    ASSERT_TRUE(bus.isRunning()) << bus.errorString().toStdString();
    QDBusConnection panel = bus.connection(QStringLiteral("panel"));
    StatusNotifierItem item(bus.connection(QStringLiteral("app")), {QStringLiteral("打开主窗口"), QStringLiteral("退出")});
    ASSERT_TRUE(item.isExported());
    EXPECT_FALSE(item.isHostPresent());

    // A watcher that starts late, then one that restarts: each hears of the item.
    FakeWatcher watcher;
    ASSERT_TRUE(startWatcher(panel, watcher));
    QTRY_COMPARE(watcher.registered, QStringList{item.serviceName()});
    EXPECT_TRUE(item.isHostPresent());
    panel.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    QTRY_VERIFY(!item.isHostPresent());
    panel.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    QTRY_COMPARE(watcher.registered.size(), 2);

    item.setIcon({QImage(16, 16, QImage::Format_ARGB32), QImage(22, 22, QImage::Format_ARGB32)});
    item.setToolTip(QStringLiteral("焦图"), QStringLiteral("78 % · 放电 9.1 W"));
    Target props{panel, item.serviceName(), QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.freedesktop.DBus.Properties")};
    auto get = [&](const char* name) {
        return callAndWait(props, QStringLiteral("Get"), {QStringLiteral("org.kde.StatusNotifierItem"), QString::fromLatin1(name)})
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant();
    };
    EXPECT_EQ(get("Title").toString(), "焦图");
    EXPECT_EQ(get("Category").toString(), "Hardware");
    const QDBusArgument pixmaps = get("IconPixmap").value<QDBusArgument>();
    EXPECT_EQ(pixmaps.currentSignature(), "a(iiay)");
    QList<int> sides;
    pixmaps.beginArray();
    while (!pixmaps.atEnd()) {
        int w = 0, h = 0;
        QByteArray data;
        pixmaps.beginStructure();
        pixmaps >> w >> h >> data;
        pixmaps.endStructure();
        EXPECT_EQ(data.size(), w * h * 4);
        sides.append(w);
    }
    pixmaps.endArray();
    EXPECT_EQ(sides, (QList<int>{16, 22}));
    const QDBusArgument tip = get("ToolTip").value<QDBusArgument>();
    EXPECT_EQ(tip.currentSignature(), "(sa(iiay)ss)");

    // Clicks and the menu, as a host sends them.
    QSignalSpy activated(&item, &StatusNotifierItem::activateRequested);
    QSignalSpy context(&item, &StatusNotifierItem::contextMenuRequested);
    QSignalSpy clicked(&item, &StatusNotifierItem::menuItemClicked);
    Target sni{panel, item.serviceName(), QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem")};
    callAndWait(sni, QStringLiteral("Activate"), {120, 8});
    callAndWait(sni, QStringLiteral("ContextMenu"), {0, 0});
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toPoint(), QPoint(120, 8));
    EXPECT_EQ(context.count(), 1);
    Target menu{panel, item.serviceName(), QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu")};
    const QDBusMessage layout = callAndWait(menu, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    ASSERT_EQ(layout.type(), QDBusMessage::ReplyMessage) << layout.errorMessage().toStdString();
    EXPECT_EQ(layout.signature(), "u(ia{sv}av)");
    callAndWait(menu, QStringLiteral("Event"), {2, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0U});
    QTRY_COMPARE(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 1) << "退出";
}

}  // namespace
}  // namespace joulemap

#include "StatusNotifierItemTest.moc"
