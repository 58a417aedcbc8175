// Qt services need an application object and its event loop.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Widgets are painted offscreen; no display is needed (nor wanted) for the tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("JoulemapTests");
    QApplication::setApplicationName("JoulemapTests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
