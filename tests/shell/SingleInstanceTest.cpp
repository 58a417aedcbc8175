#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "SingleInstance.h"

namespace joulemap {
namespace {

// Runs `start` of a second instance on another thread, so this thread's loop can answer it.
SingleInstance::Role startElsewhere(const QString& path, bool replace, int waitMs) {
    auto role = std::async(std::launch::async, [path, replace, waitMs] {
        SingleInstance other(path);
        return other.start(replace, waitMs);
    });
    while (role.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return role.get();
}

TEST(SingleInstanceTest, SecondLaunchAsksTheFirstToReopenAndLeaves) {
    QTemporaryDir dir;
    const QString path = dir.filePath("joulemap.socket");
    SingleInstance first(path);
    ASSERT_EQ(first.start(false), SingleInstance::Role::primary);
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);

    EXPECT_EQ(startElsewhere(path, false, 0), SingleInstance::Role::secondary);
    EXPECT_EQ(reopened.count(), 1);
    EXPECT_TRUE(first.isListening());
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
