#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

namespace joulemap {

namespace {

const QByteArray kReopenMessage = QByteArrayLiteral("reopen\n");
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 1000;
constexpr int kReadTimeoutMs = 1000;
constexpr int kReplacePollMs = 100;

}  // namespace

QString SingleInstance::defaultSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) return QDir(runtime).filePath(QStringLiteral("joulemap.socket"));
    return QDir::temp().filePath(QStringLiteral("joulemap-%1.socket").arg(::getuid()));
}

SingleInstance::SingleInstance(QString socketPath, QObject* parent) : QObject(parent), socketPath_(std::move(socketPath)) {
    // Only this user may talk to the socket.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_.nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine()) return;
                const QByteArray line = client->readLine();
                if (line == kReopenMessage) emit reopenRequested();
                // Answer, so the second launch knows it reached a live instance.
                client->write(QByteArrayLiteral("ok\n"));
                client->flush();
            });
        }
    });
}

SingleInstance::Role SingleInstance::start(bool replace, int replaceWaitMs) {
    if (replace) {
        QElapsedTimer waited;
        waited.start();
        while (anotherIsListening() && waited.elapsed() < replaceWaitMs) QThread::msleep(kReplacePollMs);
    } else if (askRunningToReopen()) {
        return Role::secondary;
    }
    listen();
    return Role::primary;
}

bool SingleInstance::anotherIsListening() {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    const bool connected = socket.waitForConnected(kConnectTimeoutMs);
    socket.abort();
    return connected;
}

bool SingleInstance::askRunningToReopen() {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
    socket.write(kReopenMessage);
    if (!socket.waitForBytesWritten(kWriteTimeoutMs)) return false;
    // A process that is frozen or shutting down may accept and never answer; then this launch
    // carries on as the instance rather than leave the user with nothing.
    return socket.waitForReadyRead(kReadTimeoutMs) && socket.readLine().startsWith("ok");
}

bool SingleInstance::listen() {
    // Nobody answered, so whatever is at the path is left over from a crash (or from the instance
    // being replaced) and can go.
    QLocalServer::removeServer(socketPath_);
    return server_.listen(socketPath_);
}

}  // namespace joulemap
