// Peak memory and time of a one-click update of a large release image, to show that the image is
// streamed to disk rather than held in memory.
//
//   build/bench/UpdateDownloadBench [MEGABYTES]     (default 200)
//
// Builds a release image (a .tar.gz whose bundle holds MEGABYTES of random data, so it does not
// compress), serves it from a file on 127.0.0.1, runs the update into a temporary home and prints
// the image size, the time taken and the process's peak resident memory before and after.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

#include "UpdateChecker.h"

namespace {

using namespace joulemap;

constexpr qint64 kMegabyte = 1024 * 1024;
constexpr qint64 kSliceBytes = 256 * 1024;
constexpr int kDefaultMegabytes = 200;

long peakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool makeImage(const QString& work, qint64 megabytes, const QString& image) {
    const QString bundle = work + "/stage/Joulemap.app";
    QDir().mkpath(bundle + "/bin");
    QFile program(bundle + "/bin/joulemap");
    if (!program.open(QIODevice::WriteOnly)) return false;
    program.write("#!/bin/sh\n");
    QFile noise(bundle + "/noise.bin");
    if (!noise.open(QIODevice::WriteOnly)) return false;
    QByteArray block(kMegabyte, Qt::Uninitialized);
    for (qint64 i = 0; i < megabytes; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        noise.write(block);
    }
    noise.close();
    return QProcess::execute("/usr/bin/tar", {"-c", "-z", "-f", image, "-C", work + "/stage", "Joulemap.app"}) == 0;
}

// Answers every request with the file, read and sent in slices as the socket drains.
void serveFile(QTcpServer& server, const QString& path) {
    QObject::connect(&server, &QTcpServer::newConnection, [&server, path] {
        QTcpSocket* socket = server.nextPendingConnection();
        auto* file = new QFile(path, socket);
        file->open(QIODevice::ReadOnly);
        QObject::connect(socket, &QTcpSocket::readyRead, [socket, file] {
            if (socket->property("answered").toBool() || !socket->readAll().contains("\r\n\r\n")) return;
            socket->setProperty("answered", true);
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " + QByteArray::number(file->size()) +
                          "\r\n\r\n");
        });
        QObject::connect(socket, &QTcpSocket::bytesWritten, [socket, file] {
            if (socket->bytesToWrite() > kSliceBytes) return;
            if (file->atEnd()) return socket->disconnectFromHost();
            socket->write(file->read(kSliceBytes));
        });
    });
    server.listen(QHostAddress::LocalHost);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : kDefaultMegabytes;
    QTemporaryDir work;
    const QString image = work.path() + "/image.tar.gz";
    if (megabytes <= 0 || !makeImage(work.path(), megabytes, image)) {
        std::fprintf(stderr, "cannot make the image\n");
        return 1;
    }
    QDir(work.path() + "/stage").removeRecursively();
    QTcpServer server;
    serveFile(server, image);

    const QString home = work.path() + "/home";
    QDir().mkpath(home + "/Applications/Joulemap.app/bin");
    QDir().mkpath(work.path() + "/tmp");
    UpdateChecker checker(linuxUpdatePlatform(home.toStdString(), (work.path() + "/tmp").toStdString()),
                          QStringLiteral("1.0"), home + "/Applications/Joulemap.app/bin/joulemap", {});
    const QString feed = QStringLiteral(R"({"version":"2.0","url":"http://127.0.0.1:%1/image.tar.gz"})")
                             .arg(server.serverPort());
    QTcpServer feedServer;
    serveFile(feedServer, work.path() + "/feed.json");
    QFile feedFile(work.path() + "/feed.json");
    feedFile.open(QIODevice::WriteOnly);
    feedFile.write(feed.toUtf8());
    feedFile.close();
    UpdateChecker::setFeedURL(QUrl(QStringLiteral("http://127.0.0.1:%1/joulemap/appcast.json").arg(feedServer.serverPort())));

    const long before = peakResidentKb();
    QElapsedTimer clock;
    QObject::connect(&checker, &UpdateChecker::availableChanged, [&] {
        clock.start();
        checker.performAutoUpdate();
    });
    QObject::connect(&checker, &UpdateChecker::progressChanged, [&] {
        const auto kind = checker.progress().kind;
        if (kind == UpdateProgress::Kind::done || kind == UpdateProgress::Kind::failed) app.quit();
    });
    checker.check();
    app.exec();

    std::printf("image %.1f MB, update %s in %.2f s, peak RSS %.1f MB before, %.1f MB after\n",
                double(QFileInfo(image).size()) / kMegabyte,
                checker.progress().kind == UpdateProgress::Kind::done ? "done" : checker.progress().message.c_str(),
                double(clock.elapsed()) / 1000, before / 1024.0, peakResidentKb() / 1024.0);
    return checker.progress().kind == UpdateProgress::Kind::done ? 0 : 1;
}
