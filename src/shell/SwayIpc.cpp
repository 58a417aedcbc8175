#include "SwayIpc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <cstring>

namespace joulemap {

namespace {

const QByteArray kMagic = QByteArrayLiteral("i3-ipc");
constexpr quint32 kRunCommand = 0;
constexpr quint32 kGetWorkspaces = 1;
constexpr quint32 kGetOutputs = 3;
constexpr int kHeaderSize = 6 + 4 + 4;
// Replies to these requests are small; a larger length means a confused peer.
constexpr quint32 kMaxReply = 4 * 1024 * 1024;

QRect rectOf(const QJsonObject& object) {
    const QJsonObject rect = object.value(QLatin1String("rect")).toObject();
    return {rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
            rect.value(QLatin1String("width")).toInt(), rect.value(QLatin1String("height")).toInt()};
}

}  // namespace

QString SwayIpc::socketPath() { return qEnvironmentVariable("SWAYSOCK"); }

SwayIpc::SwayIpc(QString socketPath) : socketPath_(std::move(socketPath)) {}

std::optional<QByteArray> SwayIpc::request(quint32 type, const QByteArray& payload) const {
    if (!available()) return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kTimeoutMs)) return std::nullopt;
    // The header's numbers are in the machine's own byte order.
    QByteArray message = kMagic;
    const quint32 header[2] = {static_cast<quint32>(payload.size()), type};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    message.append(payload);
    socket.write(message);
    if (!socket.waitForBytesWritten(kTimeoutMs)) return std::nullopt;
    QByteArray reply;
    while (reply.size() < kHeaderSize) {
        if (!socket.waitForReadyRead(kTimeoutMs)) return std::nullopt;
        reply += socket.readAll();
    }
    if (!reply.startsWith(kMagic)) return std::nullopt;
    quint32 length = 0;
    std::memcpy(&length, reply.constData() + kMagic.size(), sizeof length);
    if (length > kMaxReply) return std::nullopt;
    while (static_cast<quint32>(reply.size()) < kHeaderSize + length) {
        if (!socket.waitForReadyRead(kTimeoutMs)) return std::nullopt;
        reply += socket.readAll();
    }
    return reply.mid(kHeaderSize, length);
}

std::optional<QRect> SwayIpc::focusedRect(quint32 type) const {
    const auto reply = request(type, {});
    if (!reply) return std::nullopt;
    for (const QJsonValue& value : QJsonDocument::fromJson(*reply).array()) {
        const QJsonObject node = value.toObject();
        if (!node.value(QLatin1String("focused")).toBool()) continue;
        const QRect rect = rectOf(node);
        if (rect.isValid()) return rect;
    }
    return std::nullopt;
}

std::optional<QRect> SwayIpc::focusedWorkspaceArea() const { return focusedRect(kGetWorkspaces); }

std::optional<QRect> SwayIpc::focusedOutput() const { return focusedRect(kGetOutputs); }

bool SwayIpc::run(const QString& command) const {
    const auto reply = request(kRunCommand, command.toUtf8());
    if (!reply) return false;
    const QJsonArray results = QJsonDocument::fromJson(*reply).array();
    return !results.isEmpty() && results.first().toObject().value(QLatin1String("success")).toBool();
}

}  // namespace joulemap
