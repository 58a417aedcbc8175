#include "DbusTestBus.h"

#include <QDeadlineTimer>
#include <QFile>

#include <atomic>

#ifdef __linux__
#include <sys/prctl.h>

#include <csignal>
#endif

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 3000;

// The stock session configuration minus the service directories, so that no installed
// notification daemon or portal can be started behind a test's back.
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
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary directory: ") + dir_.errorString();
        return;
    }
    const QString configPath = dir_.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(configFor(dir_.path())) < 0) {
        error_ = QStringLiteral("cannot write ") + configPath;
        return;
    }
    config.close();

    // The daemon's complaints (e.g. about fd limits when run as root) stay out of the test
    // output unless it fails to start.
    logPath_ = dir_.filePath(QStringLiteral("bus.log"));
    daemon_.setStandardErrorFile(logPath_);
#ifdef __linux__
    // A test that crashes runs no destructor; the daemon must not outlive it.
    daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                   QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(kStartTimeoutMs)) {
        error_ = QStringLiteral("dbus-daemon did not start (is it installed?): ") + daemon_.errorString();
        return;
    }
    // The daemon prints its address once it listens; until then connecting would fail.
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!daemon_.canReadLine()) {
        if (deadline.hasExpired() || daemon_.state() != QProcess::Running) {
            error_ = QStringLiteral("dbus-daemon printed no address: ") + daemonLog();
            return;
        }
        daemon_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        error_ = QStringLiteral("dbus-daemon printed an empty address: ") + daemonLog();
    }
}

DbusTestBus::~DbusTestBus() {
    for (const QString& name : connectionNames_) {
        QDBusConnection::disconnectFromBus(name);
    }
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(kStopTimeoutMs)) {
            daemon_.kill();
            daemon_.waitForFinished(kStopTimeoutMs);
        }
    }
}

QString DbusTestBus::daemonLog() const {
    QFile log(logPath_);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).trimmed() : QString();
}

QDBusConnection DbusTestBus::connection(const QString& name) {
    // Qt keeps connections in a process-wide table by name; a serial keeps two buses apart.
    static std::atomic<int> serial{0};
    const QString fullName = QStringLiteral("dbus-test-bus-%1-%2").arg(++serial).arg(name);
    connectionNames_ << fullName;
    return QDBusConnection::connectToBus(address_, fullName);
}
