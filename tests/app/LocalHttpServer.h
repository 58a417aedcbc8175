#pragma once

// An HTTP/1.1 server on 127.0.0.1: each path answers a fixed status and body, the body written in
// slices from the event loop so that it arrives in pieces, as from a real network.

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace joulemap::test {

class LocalHttpServer : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        bool contentLength = true;  // without one the body ends when the connection closes
    };

    LocalHttpServer() {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRequest(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        server_.listen(QHostAddress::LocalHost);
    }

    void answer(const QString& path, Answer answer) { answers_[path] = std::move(answer); }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    int served() const { return served_; }

private:
    static constexpr qsizetype kSliceBytes = 16 * 1024;

    void onRequest(QTcpSocket* socket) {
        request_[socket] += socket->readAll();
        const QByteArray& head = request_[socket];
        if (!head.contains("\r\n\r\n")) return;
        const QString path = QString::fromLatin1(head.split(' ').value(1));
        request_.remove(socket);
        const Answer a = answers_.value(path, Answer{404, "not here"});
        QByteArray header = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nConnection: close\r\n";
        if (a.contentLength) header += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
        socket->write(header + "\r\n");
        writeSlices(socket, a.body, 0);
    }

    void writeSlices(QPointer<QTcpSocket> socket, QByteArray body, qsizetype from) {
        if (!socket) return;
        if (from >= body.size()) {
            ++served_;
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid(from, kSliceBytes));
        socket->flush();
        QTimer::singleShot(1, this, [this, socket, body, from] { writeSlices(socket, body, from + kSliceBytes); });
    }

    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QHash<QTcpSocket*, QByteArray> request_;
    int served_ = 0;
};

}  // namespace joulemap::test
