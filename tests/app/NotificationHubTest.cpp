#include <gtest/gtest.h>

#include <QObject>
#include <QStringList>

#include "NotificationHub.h"

namespace joulemap {
namespace {

TEST(NotificationHubTest, SubscribersHearOnlyTheirNameAndOnlyWhileTheirContextLives) {
    NotificationHub& hub = NotificationHub::instance();

    QStringList heard;
    auto context = std::make_unique<QObject>();
    hub.subscribe(NotificationHub::kShowSettingsWindow, context.get(), [&heard] { heard << "settings"; });
    hub.subscribe(NotificationHub::kShowHistoryWindow, context.get(), [&heard] { heard << "history"; });

    hub.post(NotificationHub::kShowSettingsWindow);
    hub.post("JMSomethingElse");
    hub.post(NotificationHub::kShowHistoryWindow);
    EXPECT_EQ(heard, (QStringList{"settings", "history"}));

    context.reset();
    hub.post(NotificationHub::kShowSettingsWindow);
    EXPECT_EQ(heard.size(), 2);
}

}  // namespace
}  // namespace joulemap
