#include "StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QtEndian>

#include <atomic>

namespace joulemap {

namespace {

const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");

// One icon image as hosts read it: width, height, ARGB32 in network byte order.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using SniPixmapList = QList<SniPixmap>;

// A menu item's id and properties, as GetGroupProperties answers.
struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using MenuItemPropertiesList = QList<MenuItemProperties>;

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& p) {
    arg.beginStructure();
    arg << p.width << p.height << p.argb;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& p) {
    arg.beginStructure();
    arg >> p.width >> p.height >> p.argb;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const MenuItemProperties& m) {
    arg.beginStructure();
    arg << m.id << m.properties;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, MenuItemProperties& m) {
    arg.beginStructure();
    arg >> m.id >> m.properties;
    arg.endStructure();
    return arg;
}

}  // namespace
}  // namespace joulemap

Q_DECLARE_METATYPE(joulemap::SniPixmap)
Q_DECLARE_METATYPE(joulemap::MenuItemProperties)

namespace joulemap {

namespace {

void registerTypes() {
    static const bool done = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmapList>();
        qDBusRegisterMetaType<MenuItemProperties>();
        qDBusRegisterMetaType<MenuItemPropertiesList>();
        return true;
    }();
    (void)done;
}

SniPixmap toPixmap(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    SniPixmap p{argb.width(), argb.height(), QByteArray(argb.width() * argb.height() * 4, Qt::Uninitialized)};
    auto* out = reinterpret_cast<quint32*>(p.argb.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) *out++ = qToBigEndian(row[x]);
    }
    return p;
}

QDBusArgument toolTipArgument(const QString& title, const QString& text) {
    QDBusArgument arg;
    arg.beginStructure();
    arg << QString() << SniPixmapList{} << title << text;
    arg.endStructure();
    return arg;
}

// The name hosts find the item by: one per process and item.
QString nextServiceName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

QPoint pointOf(const QDBusMessage& message) {
    const QVariantList args = message.arguments();
    if (args.size() < 2) return {};
    return {args[0].toInt(), args[1].toInt()};
}

bool replyError(const QDBusMessage& message, const QDBusConnection& connection, const QString& what) {
    connection.send(message.createErrorReply(QDBusError::UnknownMethod, what));
    return true;
}

// Answers Properties.Get / GetAll from `lookup`; false for a call this helper does not handle.
template <typename Lookup, typename All>
bool handleProperties(const QDBusMessage& message, const QDBusConnection& connection, const QString& interface,
                      Lookup lookup, All all) {
    const QVariantList args = message.arguments();
    if (message.member() == QLatin1String("Get") && args.size() == 2 && args[0].toString() == interface) {
        const QVariant value = lookup(args[1].toString());
        if (!value.isValid()) {
            connection.send(message.createErrorReply(QDBusError::UnknownProperty, args[1].toString()));
        } else {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
        }
        return true;
    }
    if (message.member() == QLatin1String("GetAll")) {
        QVariantMap map;
        if (!args.isEmpty() && args[0].toString() == interface) map = all();
        connection.send(message.createReply(map));
        return true;
    }
    if (message.member() == QLatin1String("Set")) {
        connection.send(message.createErrorReply(QDBusError::PropertyReadOnly, QStringLiteral("read-only")));
        return true;
    }
    return false;
}

const char* const kItemIntrospection = R"xml(<interface name="org.kde.StatusNotifierItem">
<property name="Category" type="s" access="read"/>
<property name="Id" type="s" access="read"/>
<property name="Title" type="s" access="read"/>
<property name="Status" type="s" access="read"/>
<property name="WindowId" type="i" access="read"/>
<property name="IconName" type="s" access="read"/>
<property name="IconPixmap" type="a(iiay)" access="read"/>
<property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
<property name="ItemIsMenu" type="b" access="read"/>
<property name="Menu" type="o" access="read"/>
<method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
<signal name="NewTitle"/><signal name="NewIcon"/><signal name="NewToolTip"/><signal name="NewStatus"><arg type="s"/></signal>
</interface>
)xml";

const char* const kMenuIntrospection = R"xml(<interface name="com.canonical.dbusmenu">
<property name="Version" type="u" access="read"/>
<property name="TextDirection" type="s" access="read"/>
<property name="Status" type="s" access="read"/>
<property name="IconThemePath" type="as" access="read"/>
<method name="GetLayout"><arg type="i" direction="in"/><arg type="i" direction="in"/><arg type="as" direction="in"/><arg type="u" direction="out"/><arg type="(ia{sv}av)" direction="out"/></method>
<method name="GetGroupProperties"><arg type="ai" direction="in"/><arg type="as" direction="in"/><arg type="a(ia{sv})" direction="out"/></method>
<method name="GetProperty"><arg type="i" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
<method name="Event"><arg type="i" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="in"/><arg type="u" direction="in"/></method>
<method name="EventGroup"><arg type="a(isvu)" direction="in"/><arg type="ai" direction="out"/></method>
<method name="AboutToShow"><arg type="i" direction="in"/><arg type="b" direction="out"/></method>
<method name="AboutToShowGroup"><arg type="ai" direction="in"/><arg type="ai" direction="out"/><arg type="ai" direction="out"/></method>
<signal name="ItemsPropertiesUpdated"><arg type="a(ia{sv})"/><arg type="a(ia{sv})"/></signal>
<signal name="LayoutUpdated"><arg type="u"/><arg type="i"/></signal>
<signal name="ItemActivationRequested"><arg type="i"/><arg type="u"/></signal>
</interface>
)xml";

const char* const kPropertiesIntrospection = R"xml(<interface name="org.freedesktop.DBus.Properties">
<method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
<method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
</interface>
)xml";

}  // namespace

StatusNotifierItem::StatusNotifierItem(const QDBusConnection& bus, const QStringList& menuLabels, QObject* parent)
    : QDBusVirtualObject(parent), bus_(bus), serviceName_(nextServiceName()) {
    registerTypes();
    menu_ = new DBusMenuExporter(menuLabels, this);
    connect(menu_, &DBusMenuExporter::clicked, this, &StatusNotifierItem::menuItemClicked);
    if (!bus_.isConnected()) return;
    exported_ = bus_.registerVirtualObject(QString::fromLatin1(kItemPath), this) &&
                bus_.registerVirtualObject(QString::fromLatin1(kMenuPath), menu_) &&
                bus_.registerService(serviceName_);
    if (!exported_) return;
    watcher_ = new QDBusServiceWatcher(QString::fromLatin1(kWatcherService), bus_,
                                       QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty()) {
                    setHostPresent(false);
                } else {
                    onWatcherAppeared();
                }
            });
    if (bus_.interface() && bus_.interface()->isServiceRegistered(QString::fromLatin1(kWatcherService))) {
        onWatcherAppeared();
    }
}

StatusNotifierItem::~StatusNotifierItem() {
    if (!exported_) return;
    bus_.unregisterService(serviceName_);
    bus_.unregisterObject(QString::fromLatin1(kMenuPath));
    bus_.unregisterObject(QString::fromLatin1(kItemPath));
}

void StatusNotifierItem::onWatcherAppeared() {
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kWatcherService),
                                                       QString::fromLatin1(kWatcherPath), QString::fromLatin1(kWatcherService),
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << serviceName_;
    // Not waited for: a watcher that is still starting must not block the interface.
    bus_.send(call);
    setHostPresent(true);
}

void StatusNotifierItem::setHostPresent(bool present) {
    if (present == hostPresent_) return;
    hostPresent_ = present;
    emit hostPresenceChanged(present);
}

void StatusNotifierItem::emitSignal(const char* name) {
    if (!exported_) return;
    bus_.send(QDBusMessage::createSignal(QString::fromLatin1(kItemPath), kItemInterface, QString::fromLatin1(name)));
}

void StatusNotifierItem::setIcon(const QList<QImage>& images) {
    images_ = images;
    emitSignal("NewIcon");
}

void StatusNotifierItem::setToolTip(const QString& title, const QString& text) {
    if (title == toolTipTitle_ && text == toolTipText_) return;
    toolTipTitle_ = title;
    toolTipText_ = text;
    emitSignal("NewToolTip");
}

void StatusNotifierItem::setMenuLabels(const QStringList& labels) {
    const uint revision = menu_->setLabels(labels);
    if (!exported_) return;
    QDBusMessage layout =
        QDBusMessage::createSignal(QString::fromLatin1(kMenuPath), kMenuInterface, QStringLiteral("LayoutUpdated"));
    layout << revision << 0;
    bus_.send(layout);
    emitSignal("NewTitle");
}

QVariant StatusNotifierItem::property(const QString& name) const {
    if (name == QLatin1String("Category")) return QStringLiteral("Hardware");
    if (name == QLatin1String("Id")) return QStringLiteral("joulemap");
    if (name == QLatin1String("Title")) return QObject::tr("焦图");
    if (name == QLatin1String("Status")) return QStringLiteral("Active");
    if (name == QLatin1String("WindowId")) return 0;
    if (name == QLatin1String("IconName")) return QString();
    if (name == QLatin1String("ItemIsMenu")) return false;
    if (name == QLatin1String("Menu")) return QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(kMenuPath)));
    if (name == QLatin1String("IconPixmap")) {
        SniPixmapList list;
        for (const QImage& image : images_) list.append(toPixmap(image));
        QDBusArgument arg;
        arg << list;
        return QVariant::fromValue(arg);
    }
    if (name == QLatin1String("ToolTip")) return QVariant::fromValue(toolTipArgument(toolTipTitle_, toolTipText_));
    return {};
}

QVariantMap StatusNotifierItem::allProperties() const {
    QVariantMap map;
    for (const char* name : {"Category", "Id", "Title", "Status", "WindowId", "IconName", "ItemIsMenu", "Menu",
                             "IconPixmap", "ToolTip"}) {
        map.insert(QString::fromLatin1(name), property(QString::fromLatin1(name)));
    }
    return map;
}

QString StatusNotifierItem::introspect(const QString&) const {
    return QString::fromLatin1(kItemIntrospection) + QString::fromLatin1(kPropertiesIntrospection);
}

bool StatusNotifierItem::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.interface() == kPropertiesInterface) {
        return handleProperties(message, connection, kItemInterface, [this](const QString& n) { return property(n); },
                                [this] { return allProperties(); });
    }
    const QString member = message.member();
    if (member == QLatin1String("Activate")) {
        emit activateRequested(pointOf(message));
    } else if (member == QLatin1String("SecondaryActivate")) {
        emit secondaryActivateRequested();
    } else if (member == QLatin1String("ContextMenu")) {
        emit contextMenuRequested(pointOf(message));
    } else if (member != QLatin1String("Scroll")) {
        return replyError(message, connection, member);
    }
    connection.send(message.createReply());
    return true;
}

DBusMenuExporter::DBusMenuExporter(QStringList labels, QObject* parent)
    : QDBusVirtualObject(parent), labels_(std::move(labels)) {
    registerTypes();
}

uint DBusMenuExporter::setLabels(QStringList labels) {
    labels_ = std::move(labels);
    return ++revision_;
}

// Id 0 is the root, the labels are 1…n.
QVariantMap DBusMenuExporter::itemProperties(int id) const {
    QVariantMap map;
    if (id == 0) {
        map.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (id > 0 && id <= labels_.size()) {
        map.insert(QStringLiteral("label"), labels_.at(id - 1));
        map.insert(QStringLiteral("enabled"), true);
        map.insert(QStringLiteral("visible"), true);
    }
    return map;
}

void DBusMenuExporter::event(int id, const QString& eventId) {
    if (eventId == QLatin1String("clicked") && id > 0 && id <= labels_.size()) {
        // After the reply: the host is still waiting on it while a quit would end the process.
        QMetaObject::invokeMethod(this, [this, id] { emit clicked(id - 1); }, Qt::QueuedConnection);
    }
}

QString DBusMenuExporter::introspect(const QString&) const {
    return QString::fromLatin1(kMenuIntrospection) + QString::fromLatin1(kPropertiesIntrospection);
}

bool DBusMenuExporter::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.interface() == kPropertiesInterface) {
        auto lookup = [](const QString& name) -> QVariant {
            if (name == QLatin1String("Version")) return 3U;
            if (name == QLatin1String("TextDirection")) return QStringLiteral("ltr");
            if (name == QLatin1String("Status")) return QStringLiteral("normal");
            if (name == QLatin1String("IconThemePath")) return QStringList();
            return {};
        };
        return handleProperties(message, connection, kMenuInterface, lookup, [&lookup] {
            QVariantMap map;
            for (const char* n : {"Version", "TextDirection", "Status", "IconThemePath"}) {
                map.insert(QString::fromLatin1(n), lookup(QString::fromLatin1(n)));
            }
            return map;
        });
    }
    const QString member = message.member();
    const QVariantList args = message.arguments();
    if (member == QLatin1String("GetLayout")) {
        const int parent = args.value(0).toInt();
        auto node = [this](int id, const QList<int>& children) {
            QDBusArgument arg;
            arg.beginStructure();
            arg << id << itemProperties(id);
            arg.beginArray(QMetaType::fromType<QDBusVariant>());
            for (const int child : children) {
                QDBusArgument c;
                c.beginStructure();
                c << child << itemProperties(child);
                c.beginArray(QMetaType::fromType<QDBusVariant>());
                c.endArray();
                c.endStructure();
                arg << QDBusVariant(QVariant::fromValue(c));
            }
            arg.endArray();
            arg.endStructure();
            return arg;
        };
        QList<int> children;
        if (parent == 0) {
            for (int i = 1; i <= labels_.size(); ++i) children.append(i);
        }
        QDBusMessage reply = message.createReply();
        reply << revision_ << QVariant::fromValue(node(parent, children));
        connection.send(reply);
        return true;
    }
    if (member == QLatin1String("GetGroupProperties")) {
        const QList<int> ids = qdbus_cast<QList<int>>(args.value(0));
        MenuItemPropertiesList list;
        for (const int id : ids) list.append({id, itemProperties(id)});
        connection.send(message.createReply(QVariant::fromValue(list)));
        return true;
    }
    if (member == QLatin1String("GetProperty")) {
        const QVariant value = itemProperties(args.value(0).toInt()).value(args.value(1).toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(value.isValid() ? value : QString()))));
        return true;
    }
    if (member == QLatin1String("Event")) {
        connection.send(message.createReply());
        event(args.value(0).toInt(), args.value(1).toString());
        return true;
    }
    if (member == QLatin1String("EventGroup")) {
        const QDBusArgument arg = args.value(0).value<QDBusArgument>();
        QList<int> errors;
        arg.beginArray();
        while (!arg.atEnd()) {
            int id = 0;
            QString eventId;
            QDBusVariant data;
            uint timestamp = 0;
            arg.beginStructure();
            arg >> id >> eventId >> data >> timestamp;
            arg.endStructure();
            if (id < 0 || id > labels_.size()) errors.append(id);
            event(id, eventId);
        }
        arg.endArray();
        connection.send(message.createReply(QVariant::fromValue(errors)));
        return true;
    }
    if (member == QLatin1String("AboutToShow")) {
        connection.send(message.createReply(false));
        return true;
    }
    if (member == QLatin1String("AboutToShowGroup")) {
        QDBusMessage reply = message.createReply();
        reply << QVariant::fromValue(QList<int>()) << QVariant::fromValue(QList<int>());
        connection.send(reply);
        return true;
    }
    return replyError(message, connection, member);
}

}  // namespace joulemap
