// The alert notifier against a notification server of our own on a private session bus.
#include "AlertMessage.h"
#include "AlertNotifier.h"
#include "DbusTestBus.h"
#include "FreedesktopNotificationService.h"

#include <gtest/gtest.h>

#include <QDBusContext>
#include <QDBusMessage>
#include <QRegularExpression>
#include <QTest>
#include <QVariantMap>

using namespace joulemap;

namespace {

const QString kServerName = QStringLiteral("org.freedesktop.Notifications");
const QString kServerPath = QStringLiteral("/org/freedesktop/Notifications");

// Long enough for queued work with nothing to wait for on the bus to have run.
constexpr int kSettleMs = 50;

class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Received {
        QString appName, summary, body;
        QVariantMap hints;

        QString identifier() const { return hints.value(QStringLiteral("x-joulemap-id")).toString(); }
    };

    std::vector<Received> notifications;
    int serverInformationCalls = 0;
    // While set, GetServerInformation stays unanswered until releaseServerInformation().
    bool holdServerInformation = false;

    void releaseServerInformation() {
        ASSERT_TRUE(held_ && heldConnection_);
        heldConnection_->send(held_->createReply(QVariantList{"fake", "tests", "1", "1.2"}));
        held_.reset();
    }

public slots:
    uint Notify(const QString& appName, uint /*replacesId*/, const QString& /*appIcon*/,
                const QString& summary, const QString& body, const QStringList& /*actions*/,
                const QVariantMap& hints, int /*expireTimeout*/) {
        notifications.push_back({appName, summary, body, hints});
        return static_cast<uint>(notifications.size());
    }

    QString GetServerInformation(QString& vendor, QString& version, QString& protocolVersion) {
        ++serverInformationCalls;
        if (holdServerInformation) {
            setDelayedReply(true);
            held_ = message();
            heldConnection_ = connection();
        }
        vendor = QStringLiteral("tests");
        version = QStringLiteral("1");
        protocolVersion = QStringLiteral("1.2");
        return QStringLiteral("fake");
    }

private:
    std::optional<QDBusMessage> held_;
    std::optional<QDBusConnection> heldConnection_;
};

class AlertNotifierTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus.isRunning()) << bus.errorString().toStdString(); }

    FakeNotificationServer& startServer() {
        server = std::make_unique<FakeNotificationServer>();
        QDBusConnection connection = bus.connection(QStringLiteral("server"));
        EXPECT_TRUE(connection.registerObject(kServerPath, server.get(), QDBusConnection::ExportAllSlots));
        EXPECT_TRUE(connection.registerService(kServerName));
        return *server;
    }

    bool waitForNotifications(size_t count) {
        return QTest::qWaitFor([&] { return server && server->notifications.size() >= count; });
    }

    DbusTestBus bus;
    std::unique_ptr<FakeNotificationServer> server;
    FreedesktopNotificationService service{bus.connection(QStringLiteral("client"))};
    QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    std::vector<AlertMessage> log;
    AlertNotifier notifier{&service,
                           [this](const std::string& key, const std::string& title, const std::string& body) {
                               log.push_back({key, title, body});
                           },
                           [this] { return now; }};
};

const std::string kTitle = "⚠️ 电池温度过高";
const std::string kBody = "电池温度 41℃，高温会加速电池老化。建议暂停高负载任务让其降温。";

TEST_F(AlertNotifierTest, ServerPresentPostsOncePerCooldownWithSoundAndIdentifier) {
    FakeNotificationServer& fake = startServer();

    notifier.notify("highTemp", kTitle, kBody);
    ASSERT_TRUE(waitForNotifications(1));

    EXPECT_EQ(fake.serverInformationCalls, 1);  // the one permission request
    EXPECT_TRUE(notifier.authorizationRequested());
    const auto first = fake.notifications[0];  // a copy: later posts grow the vector
    EXPECT_EQ(std::tuple(first.appName.toStdString(), first.summary.toStdString(), first.body.toStdString(),
                         first.hints.value("sound-name"), first.hints.value("suppress-sound")),
              std::tuple("Joulemap", kTitle, kBody, QVariant("message-new-instant"), QVariant(false)));
    const QRegularExpression identifierForm(
        "^highTemp-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
    EXPECT_TRUE(identifierForm.match(first.identifier()).hasMatch()) << first.identifier().toStdString();

    EXPECT_EQ(log, (std::vector<AlertMessage>{{"highTemp", kTitle, kBody}}));
    EXPECT_EQ(notifier.lastSent("highTemp"), now);

    // Still cooling down at 599 s: the other key, posted after it, arrives next only if it posted nothing.
    now = now.addSecs(599);
    notifier.notify("highTemp", kTitle, kBody);
    notifier.notify(QStringLiteral("highDrain"), QStringLiteral("drain"), QStringLiteral("drain body"));
    ASSERT_TRUE(waitForNotifications(2));
    EXPECT_EQ(fake.notifications[1].summary, "drain");

    // Exactly 600 s after the first post the key is free again, with a fresh identifier.
    now = now.addSecs(1);
    notifier.notify("highTemp", kTitle, kBody);
    ASSERT_TRUE(waitForNotifications(3));
    EXPECT_EQ(fake.notifications[2].summary.toStdString(), kTitle);
    EXPECT_TRUE(identifierForm.match(fake.notifications[2].identifier()).hasMatch());
    EXPECT_NE(fake.notifications[2].identifier(), first.identifier());
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(fake.serverInformationCalls, 3);  // later alerts ask again instead of asking for permission
}

TEST_F(AlertNotifierTest, NoServerShowsAndLogsNothingAndStartsNoCooldown) {
    notifier.notify("highTemp", kTitle, kBody);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return service.knownStatus() != NotificationService::AuthorizationStatus::notDetermined; }));

    EXPECT_EQ(service.knownStatus(), NotificationService::AuthorizationStatus::denied);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(notifier.lastSent("highTemp").has_value());

    // A server that starts later serves the next alert at once: the refused one started no cooldown.
    FakeNotificationServer& fake = startServer();
    notifier.notify("highTemp", kTitle, kBody);
    ASSERT_TRUE(waitForNotifications(1));
    EXPECT_EQ(fake.notifications[0].summary.toStdString(), kTitle);
    EXPECT_EQ(fake.serverInformationCalls, 1);  // no second permission request, a status read
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(AlertNotifierTest, AlertWhilePermissionIsPendingIsDropped) {
    FakeNotificationServer& fake = startServer();
    fake.holdServerInformation = true;

    notifier.notify("highTemp", kTitle, kBody);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.serverInformationCalls == 1; }));
    notifier.notify(QStringLiteral("highDrain"), QStringLiteral("drain"), QStringLiteral("drain body"));
    QTest::qWait(kSettleMs);
    EXPECT_EQ(fake.serverInformationCalls, 1);

    fake.releaseServerInformation();
    ASSERT_TRUE(waitForNotifications(1));
    EXPECT_EQ(fake.notifications[0].summary.toStdString(), kTitle);

    // A later alert goes through; had the dropped one been kept, it would arrive first.
    fake.holdServerInformation = false;
    notifier.notify(QStringLiteral("barrier"), QStringLiteral("barrier"), QStringLiteral("barrier body"));
    ASSERT_TRUE(waitForNotifications(2));
    EXPECT_EQ(fake.notifications[1].summary, "barrier");
    EXPECT_FALSE(notifier.lastSent("highDrain").has_value());
    EXPECT_EQ(log.size(), 2u);
}

}  // namespace

#include "AlertNotifierTest.moc"
