#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A private D-Bus session bus for one test: its own dbus-daemon, its own socket, no service
// activation (a name has an owner only when the test registers one), gone when this object is.
// Nothing here touches the user's session bus, so tests run the same on a desktop and in CI.
class DbusTestBus {
public:
    DbusTestBus();
    ~DbusTestBus();
    DbusTestBus(const DbusTestBus&) = delete;
    DbusTestBus& operator=(const DbusTestBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    // Why the daemon did not start, for the failure message.
    QString errorString() const { return error_; }
    // A new connection to this bus; each name gives a separate client with its own unique name.
    // All of them are disconnected before the daemon stops.
    QDBusConnection connection(const QString& name);

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
    QStringList connectionNames_;
};
