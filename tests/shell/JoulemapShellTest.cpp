#include <gtest/gtest.h>

#include <tuple>

#include <QSignalSpy>
#include <QTest>

#include "AuxWindowKey.h"
#include "AuxWindowManager.h"
#include "JoulemapShell.h"
#include "MainHeader.h"
#include "MainView.h"
#include "MainWindow.h"
#include "ShellFixture.h"
#include "TrayItem.h"

namespace joulemap {
namespace {

TEST(JoulemapShellTest, AHiddenStartKeepsTheWindowClosedOnlyWhenATrayCanReachIt) {
    const struct {
        bool tray, openMainWindow, opens;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, true}, {false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "tray " << c.tray << ", open " << c.openMainWindow);
        test::ShellFixture app;
        JoulemapShell shell(app.model(), app.theme(), app.systemInfo(), app.settings());
        shell.trayItem()->setAvailable(c.tray);
        QSignalSpy started(&shell, &JoulemapShell::startedUp);
        shell.start(c.openMainWindow);
        if (!c.opens) {
            QTest::qWait(JoulemapShell::kMainWindowDelayMs * 3);
            EXPECT_EQ(shell.mainWindow(), nullptr);
            continue;
        }
        ASSERT_TRUE(started.wait(5000));
        ASSERT_NE(shell.mainWindow(), nullptr);
        EXPECT_TRUE(shell.mainWindow()->isVisible());
        EXPECT_EQ(shell.mainWindow()->mainView()->header()->notice().isEmpty(), c.tray);
    }
}

// The tray host may come or go while the window is open: the notice and what closing does follow it.
TEST(JoulemapShellTest, CtrlQInTheMainWindowQuitsAndSoDoesClosingItWithoutATray) {
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray ? "tray" : "no tray");
        test::ShellFixture app;
        JoulemapShell shell(app.model(), app.theme(), app.systemInfo(), app.settings());
        shell.trayItem()->setAvailable(!tray);
        QSignalSpy quit(&shell, &JoulemapShell::quitRequested);
        shell.showMainWindow();
        MainWindow* window = shell.mainWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        EXPECT_EQ(window->mainView()->header()->notice().isEmpty(), !tray);
        shell.trayItem()->setAvailable(tray);
        EXPECT_EQ(window->mainView()->header()->notice().isEmpty(), tray);

        QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        EXPECT_EQ(quit.count(), 1);

        window->close();
        QCoreApplication::processEvents();
        EXPECT_EQ(quit.count(), tray ? 1 : 2) << "with a tray the program lives on";
    }
}

// The settings window that changes the language is itself remade, so the change arrives queued.
TEST(JoulemapShellTest, AChangeOfLanguageRemakesEveryOpenWindowInItWhereItWas) {
    test::ShellFixture app;
    app.refreshWith(std::nullopt);
    JoulemapShell shell(app.model(), app.theme(), app.systemInfo(), app.settings());
    shell.trayItem()->setAvailable(false);
    shell.showMainWindow();
    shell.auxWindows().show(AuxWindowKey::settings);
    QPointer<QWidget> settings = shell.auxWindows().window(AuxWindowKey::settings);
    ASSERT_NE(settings, nullptr);
    settings->move(123, 77);
    const QPoint at = settings->pos();

    const struct {
        const char *language, *mainTitle, *settingsTitle, *notice, *toolTip;
    } expected[] = {
        {"en", "Joulemap", "Settings", "The desktop has no system tray: closing this window quits Joulemap",
         "No battery found"},
        {"zh", "焦图", "设置", "桌面没有系统托盘：关闭此窗口即退出焦图", "未检测到电池"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.language);
        app.theme().setLanguage(QString::fromLatin1(e.language));
        QCoreApplication::processEvents();
        EXPECT_EQ(settings, nullptr) << "made again";
        settings = shell.auxWindows().window(AuxWindowKey::settings);
        MainWindow* window = shell.mainWindow();
        ASSERT_TRUE(settings && window);
        EXPECT_EQ(std::tuple(settings->isVisible(), settings->windowTitle(), settings->pos()),
                  std::tuple(true, QString::fromUtf8(e.settingsTitle), at));
        EXPECT_EQ(std::tuple(window->isVisible(), window->windowTitle(),
                             window->mainView()->header()->notice(), shell.trayItem()->toolTip()),
                  std::tuple(true, QString::fromUtf8(e.mainTitle), QString::fromUtf8(e.notice),
                             QString::fromUtf8(e.toolTip)));
    }
}

}  // namespace
}  // namespace joulemap
