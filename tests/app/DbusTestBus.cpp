#include "DbusTestBus.h"

#include <QFile>

#include <atomic>

#ifdef __linux__
#include <sys/prctl.h>

#include <csignal>
#endif

namespace {

constexpr int kTimeoutMs = 10000;

// No service directories: no installed notification daemon or portal starts behind a test's back.
QByteArray configFor(const QString& socketDir) {
    return QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
        .arg(socketDir)
        .toUtf8();
}

}  // namespace

DbusTestBus::DbusTestBus() {
    const QString configPath = dir_.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(configFor(dir_.path())) < 0) {
        error_ = QStringLiteral("cannot write ") + configPath;
        return;
    }
    config.close();
    // The daemon's complaints (fd limits as root) are shown only when it fails to start.
    const QString logPath = dir_.filePath(QStringLiteral("bus.log"));
    daemon_.setStandardErrorFile(logPath);
#ifdef __linux__
    // A test that crashes runs no destructor; the daemon must not outlive it.
    daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + configPath,
                                                  QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    // The daemon prints its address once it listens; until then connecting would fail.
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(kTimeoutMs)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        QFile log(logPath);
        error_ = QStringLiteral("dbus-daemon printed no address (is it installed?): ") + daemon_.errorString() + " " +
                 (log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).trimmed() : QString());
    }
}

DbusTestBus::~DbusTestBus() {
    for (const QString& name : connectionNames_) QDBusConnection::disconnectFromBus(name);
    if (daemon_.state() == QProcess::NotRunning) return;
    daemon_.terminate();
    if (!daemon_.waitForFinished(kTimeoutMs)) {
        daemon_.kill();
        daemon_.waitForFinished(kTimeoutMs);
    }
}

QDBusConnection DbusTestBus::connection(const QString& name) {
    // Qt keeps connections in a process-wide table by name; a serial keeps two buses apart.
    static std::atomic<int> serial{0};
    const QString fullName = QStringLiteral("dbus-test-bus-%1-%2").arg(++serial).arg(name);
    connectionNames_ << fullName;
    return QDBusConnection::connectToBus(address_, fullName);
}
