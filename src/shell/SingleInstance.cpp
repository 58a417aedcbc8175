#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>
#include <optional>

#include <unistd.h>

namespace joulemap {

namespace {

const QByteArray kReopenWord = QByteArrayLiteral("reopen");
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 1000;
constexpr int kReadTimeoutMs = 1000;
constexpr int kReplacePollMs = 100;
// A request is one short line; a client that sends more without a line break is not ours.
constexpr qint64 kMaxRequestBytes = 1024;

// The token goes to the compositor as it came, from whoever could write to the socket, so only
// the shape tokens have gets through: printable ASCII without spaces, of a sane length.
bool isActivationToken(QByteArrayView token) {
    if (token.isEmpty() || token.size() > SingleInstance::kMaxActivationTokenLength) return false;
    return std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c <= '~'; });
}

QByteArray reopenRequest(const QString& activationToken) {
    const QByteArray token = activationToken.toLatin1();
    if (!isActivationToken(token)) return kReopenWord + '\n';
    return kReopenWord + ' ' + token + '\n';
}

// The token of a reopen request: null when `line` is not one, empty when it carries no usable token.
std::optional<QString> parseReopenRequest(QByteArrayView line) {
    if (!line.endsWith('\n')) return std::nullopt;
    line.chop(1);
    if (line == kReopenWord) return QString();
    if (!line.startsWith(kReopenWord + ' ')) return std::nullopt;
    const QByteArrayView token = line.sliced(kReopenWord.size() + 1);
    return isActivationToken(token) ? QString::fromLatin1(token) : QString();
}

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
                if (!client->canReadLine()) {
                    if (client->bytesAvailable() > kMaxRequestBytes) client->abort();
                    return;
                }
                const QByteArray line = client->readLine(kMaxRequestBytes);
                if (const auto token = parseReopenRequest(line)) emit reopenRequested(*token);
                // Answer, so the second launch knows it reached a live instance.
                client->write(QByteArrayLiteral("ok\n"));
                client->flush();
            });
        }
    });
}

SingleInstance::Role SingleInstance::start(bool replace, const QString& activationToken, int replaceWaitMs) {
    if (replace) {
        QElapsedTimer waited;
        waited.start();
        while (anotherIsListening() && waited.elapsed() < replaceWaitMs) QThread::msleep(kReplacePollMs);
    } else if (askRunningToReopen(activationToken)) {
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

bool SingleInstance::askRunningToReopen(const QString& activationToken) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
    socket.write(reopenRequest(activationToken));
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
