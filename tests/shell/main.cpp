// Qt services need an application object and its event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    // Widgets are painted offscreen; no display is needed (nor wanted) for the tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // One screen larger than the main window, so frames are kept as saved rather than shrunk to fit.
    const QTemporaryDir dir;
    QFile config(dir.filePath("screens.json"));
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && config.open(QIODevice::WriteOnly)) {
        config.write(R"({"screens": [{"name": "Test", "x": 0, "y": 0, "width": 1600, "height": 1000,
                         "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("JoulemapTests");
    QApplication::setApplicationName("JoulemapTests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
