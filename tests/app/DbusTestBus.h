#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A private session bus for one test (its own dbus-daemon, no service activation), gone with this
// object; the user's session bus is never touched, so tests run the same on a desktop and in CI.
class DbusTestBus {
public:
    DbusTestBus();
    ~DbusTestBus();
    DbusTestBus(const DbusTestBus&) = delete;
    DbusTestBus& operator=(const DbusTestBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    // Why the daemon did not start, for the failure message.
    QString errorString() const { return error_; }
    // A separate client per name, each disconnected before the daemon stops.
    QDBusConnection connection(const QString& name);

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
    QStringList connectionNames_;
};
