#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <future>

#include "SingleInstance.h"

namespace joulemap {
namespace {

// Runs `work` on another thread, so this thread's loop can answer it.
template <typename Work>
auto runElsewhere(Work work) {
    auto result = std::async(std::launch::async, work);
    while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return result.get();
}

SingleInstance::Role startElsewhere(const QString& path, bool replace, int waitMs,
                                    const QString& token = {}) {
    return runElsewhere([&] { return SingleInstance(path).start(replace, token, waitMs); });
}

TEST(SingleInstanceTest, SecondLaunchAsksTheFirstToReopenPassingOnlyAWellFormedToken) {
    QTemporaryDir dir;
    const QString path = dir.filePath("joulemap.socket");
    SingleInstance first(path);
    ASSERT_EQ(first.start(false), SingleInstance::Role::primary);
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
    EXPECT_EQ(startElsewhere(path, false, 0, "sway-token_3f9a/1"), SingleInstance::Role::secondary);
    ASSERT_EQ(reopened.count(), 1);
    EXPECT_EQ(reopened.takeFirst()[0].toString(), "sway-token_3f9a/1");
    EXPECT_TRUE(first.isListening());

    const struct {
        QByteArray line;
        QString token;
    } cases[] = {
        {"reopen\n", ""},  // an older second launch
        {"reopen a1:b2\n", "a1:b2"},
        {"reopen two words\n", ""},
        {"reopen tab\tbed\n", ""},
        {"reopen caf\xc3\xa9\n", ""},
        {"reopen " + QByteArray(SingleInstance::kMaxActivationTokenLength + 1, 'x') + "\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const bool answered = runElsewhere([&] {
            QLocalSocket socket;
            socket.connectToServer(path);
            socket.write(c.line);
            return socket.waitForReadyRead(1000) && socket.readLine() == "ok\n";
        });
        EXPECT_TRUE(answered);
        ASSERT_EQ(reopened.count(), 1) << "a bad token still reopens the window, without it";
        EXPECT_EQ(reopened.takeFirst()[0].toString(), c.token);
    }
}

TEST(SingleInstanceTest, SocketLeftByACrashDoesNotBlockStartUp) {
    QTemporaryDir dir;
    const QString path = dir.filePath("joulemap.socket");
    // A bound socket whose process is gone: the file stays, nobody listens.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    SingleInstance instance(path);
    EXPECT_EQ(instance.start(false), SingleInstance::Role::primary);
    EXPECT_TRUE(instance.isListening());
}

TEST(SingleInstanceTest, ReplacingWaitsBoundedThenTakesOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("joulemap.socket");
    SingleInstance old(path);
    ASSERT_EQ(old.start(false), SingleInstance::Role::primary);
    QSignalSpy reopened(&old, &SingleInstance::reopenRequested);

    constexpr int kWaitMs = 400;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(startElsewhere(path, true, kWaitMs), SingleInstance::Role::primary);
    EXPECT_GE(clock.elapsed(), kWaitMs) << "the old instance was given its time to leave";
    EXPECT_EQ(reopened.count(), 0) << "a restart must not be swallowed by the old instance";
}

}  // namespace
}  // namespace joulemap
