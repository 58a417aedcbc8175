// Joulemap: shows where the machine's power goes.
#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "JoulemapViewModel.h"
#include "MainView.h"
#include "SystemInfoService.h"
#include "ThemeManager.h"

namespace {

using namespace joulemap;

const char* const kOrganisation = "Joulemap";
const char* const kApplication = "Joulemap";
const char* const kWindowTitle = "焦图";
const char* const kGeometryKey = "JoulemapMainWindow";
const char* const kLogoResource = ":/logo.png";
// Set to 1 to run without the window, for measuring the background cost alone.
const char* const kStartHiddenVariable = "JOULEMAP_START_HIDDEN";
constexpr QSize kWindowSize{1000, 620};

// A terminate signal ends the event loop instead of the process, so the window's frame is saved
// and the workers finish. The handler may only write to a socket; the loop reads the other end.
int signalSockets[2] = {-1, -1};

void onTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalSockets[0], &byte, sizeof byte);
}

void quitOnTerminateSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0) return;
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalSockets[1], &byte, sizeof byte);
        QApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void applyWindowTheme(QMainWindow& window, const ThemeManager& themeManager) {
    const auto& colors = themeManager.palette().backgroundColors;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, colors.isEmpty() ? QColor(Qt::black) : colors.front());
    window.setPalette(palette);
}

// The model refreshes quickly only while someone can see the window.
class ActivityWatcher : public QObject {
public:
    ActivityWatcher(QMainWindow& window, JoulemapViewModel& model) : QObject(&window), window_(window), model_(model) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::WindowStateChange:
                // After the event is handled, when visibility and state have their new values.
                QTimer::singleShot(0, this,
                                   [this] { model_.setIsActive(window_.isVisible() && !window_.isMinimized()); });
                break;
            case QEvent::Close:
                QSettings().setValue(kGeometryKey, window_.saveGeometry());
                model_.setIsActive(false);
                break;
            default:
                break;
        }
        return false;
    }

private:
    QMainWindow& window_;
    JoulemapViewModel& model_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(kOrganisation));
    QApplication::setApplicationName(QString::fromLatin1(kApplication));
    QApplication::setWindowIcon(QIcon(QString::fromLatin1(kLogoResource)));
    quitOnTerminateSignals(app);

    ThemeManager themeManager;
    JoulemapViewModel model;
    model.setThemeManager(&themeManager);
    SystemInfoService systemInfo;

    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(kWindowTitle));
    window.setCentralWidget(new MainView(model, themeManager, systemInfo));
    window.resize(kWindowSize);
    if (!window.restoreGeometry(QSettings().value(kGeometryKey).toByteArray())) {
        if (const QScreen* screen = window.screen()) {
            window.move(screen->availableGeometry().center() - window.rect().center());
        }
    }
    applyWindowTheme(window, themeManager);
    QObject::connect(&themeManager, &ThemeManager::themeChanged, &window,
                     [&] { applyWindowTheme(window, themeManager); });
    new ActivityWatcher(window, model);
    QObject::connect(&app, &QApplication::aboutToQuit, &window, [&] {
        if (window.isVisible()) QSettings().setValue(kGeometryKey, window.saveGeometry());
    });

    if (qgetenv(kStartHiddenVariable) == "1") {
        model.setIsActive(false);
        // Without a window nothing counts as the last one closing.
        QApplication::setQuitOnLastWindowClosed(false);
    } else {
        window.show();
    }
    return QApplication::exec();
}
