#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "MainWindow.h"
#include "ShellFixture.h"

namespace joulemap {
namespace {

TEST(MainWindowTest, FrameIsSavedOnMoveAndResizeAndRestoredNextTime) {
    test::ShellFixture app;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QRect chosen;
    {
        MainWindow window(app.model(), app.theme(), app.systemInfo(), app.settings());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.move(screen.topLeft() + QPoint(5, 7));
        window.resize(950, 580);
        chosen = window.geometry();
    }
    EXPECT_EQ(app.settings().value(MainWindow::kFrameKey).toRect(), chosen);
    MainWindow next(app.model(), app.theme(), app.systemInfo(), app.settings());
    EXPECT_EQ(next.geometry(), chosen);

    // A frame left on a screen that is gone comes back, centred on this one.
    app.settings().setValue(MainWindow::kFrameKey, QRect(screen.right() + 4000, 0, 1000, 620));
    MainWindow lost(app.model(), app.theme(), app.systemInfo(), app.settings());
    EXPECT_TRUE(screen.contains(lost.geometry().topLeft()));
}

TEST(MainWindowTest, ActivityFollowsVisibilityAndTheThemeIsReapplied) {
    test::ShellFixture app;
    MainWindow window(app.model(), app.theme(), app.systemInfo(), app.settings());
    app.model().setIsActive(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.model().isActive(); }));
    window.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.model().isActive(); }));

    app.theme().setTheme(AppTheme::dark);
    EXPECT_EQ(window.palette().color(QPalette::Window), palette(AppTheme::dark).backgroundColors.front());
}

}  // namespace
}  // namespace joulemap
