#include <gtest/gtest.h>

#include <tuple>

#include <QLabel>
#include <QPalette>

#include "AuxWindowManager.h"
#include "NotificationHub.h"
#include "ShellFixture.h"

namespace joulemap {
namespace {

TEST(AuxWindowManagerTest, RequestsOpenRaiseAndReplaceWindowsOnceAMainWindowWasShown) {
    test::ShellFixture app;
    AuxWindowManager windows(app.theme());
    int built = 0;
    windows.setFactory(AuxWindowKey::settings, [&built](ThemeManager*) {
        ++built;
        return new QLabel;
    });
    auto& hub = NotificationHub::instance();

    hub.post(NotificationHub::kShowSettingsWindow);
    EXPECT_EQ(windows.window(AuxWindowKey::settings), nullptr) << "no main window yet: ignored";

    windows.enable();
    const struct {
        const char* request;
        AuxWindowKey key;
        const char* title;
    } expected[] = {{NotificationHub::kShowSettingsWindow, AuxWindowKey::settings, "设置"},
                    {NotificationHub::kShowChangelogWindow, AuxWindowKey::changelog, "更新日志"},
                    {NotificationHub::kShowHistoryWindow, AuxWindowKey::history, "功率历史"}};
    for (const auto& e : expected) {
        hub.post(e.request);
        QWidget* window = windows.window(e.key);
        ASSERT_NE(window, nullptr) << e.title;
        // Fixed in size, and shown.
        EXPECT_EQ(std::tuple(window->windowTitle(), window->minimumSize(), window->isVisible()),
                  std::tuple(QString::fromUtf8(e.title), window->maximumSize(), true));
    }

    QPointer<QWidget> first = windows.window(AuxWindowKey::settings);
    hub.post(NotificationHub::kShowSettingsWindow);
    EXPECT_EQ(windows.window(AuxWindowKey::settings), first.data()) << "open: only raised";
    EXPECT_EQ(built, 1);

    first->close();
    hub.post(NotificationHub::kShowSettingsWindow);
    EXPECT_TRUE(first.isNull()) << "the closed window is replaced";
    EXPECT_NE(windows.window(AuxWindowKey::settings), nullptr);
    EXPECT_EQ(built, 2);
}

TEST(AuxWindowManagerTest, OpenWindowsFollowTheTheme) {
    test::ShellFixture app;
    AuxWindowManager windows(app.theme());
    windows.enable();
    windows.show(AuxWindowKey::history);
    windows.show(AuxWindowKey::changelog);
    for (const AppTheme theme : {AppTheme::dark, AppTheme::light}) {
        app.theme().setTheme(theme);
        const QColor expected = palette(theme).backgroundColors.front();
        for (const AuxWindowKey key : {AuxWindowKey::history, AuxWindowKey::changelog}) {
            EXPECT_EQ(windows.window(key)->palette().color(QPalette::Window), expected);
        }
    }
}

}  // namespace
}  // namespace joulemap
