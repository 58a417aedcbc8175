// Joulemap: shows where the machine's power goes.
#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <QTimer>

#include "AuxWindowKey.h"
#include "AuxWindowManager.h"
#include "ChargeLimitService.h"
#include "CommandLine.h"
#include "CsvExportCommand.h"
#include "JoulemapShell.h"
#include "JoulemapViewModel.h"
#include "MetricsExport.h"
#include "PrometheusTextfileWriter.h"
#include "PlatformSources.h"
#include "SingleInstance.h"
#include "SystemInfoService.h"
#include "TerminateSignals.h"
#include "ThemeManager.h"
#include "Translations.h"
#include "UpdateChecker.h"
#include "WindowActivation.h"

namespace {

const char* const kOrganisation = "Joulemap";
const char* const kApplication = "Joulemap";
const char* const kLogoResource = ":/logo.png";
// Set to 1 to run without the main window, for measuring the background cost alone. Without a tray
// the window opens all the same.
const char* const kStartHiddenVariable = "JOULEMAP_START_HIDDEN";
// Set to 1 to open the history window at start, for measuring what that window costs.
const char* const kOpenHistoryVariable = "JOULEMAP_OPEN_HISTORY";

}  // namespace

int main(int argc, char** argv) {
    using namespace joulemap;
    const CommandLineResult commandLine = parseCommandLine(argc, argv);
    if (commandLine.exitStatus) return *commandLine.exitStatus;
    // Headless commands, before any application object: no display, and no hand-off to a running
    // instance, which keeps running beside them.
    if (commandLine.options.exportCsvFolder) {
        return runCsvExport(*commandLine.options.exportCsvFolder, commandLine.options.exportDays);
    }
    if (const auto& file = commandLine.options.exportMetricsFile) return MetricsExport::run(*file);

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(kOrganisation));
    QApplication::setApplicationName(QString::fromLatin1(kApplication));
    QApplication::setApplicationVersion(QStringLiteral(JOULEMAP_VERSION));
    QApplication::setWindowIcon(QIcon(QString::fromLatin1(kLogoResource)));
    // Before any text is made: windows, tray and the model's texts read in the language in use.
    Translations::install(QSettings());

    SingleInstance instance;
    // A second launch's token is for the running instance's window: this process shows none, so
    // it never spends the token itself.
    const QString activationToken = WindowActivation::launchToken();
    if (instance.start(commandLine.options.replace, activationToken) == SingleInstance::Role::secondary) return 0;
    quitOnTerminateSignals();

    // The shared objects live as long as the process; the model starts refreshing by itself.
    QSettings settings;
    ThemeManager themeManager;
    JoulemapViewModel model;
    SystemInfoService systemInfo;
    UpdateChecker updateChecker;
    // The charge limit the user chose is the kernel's again after a reboot, where this user may write it.
    ChargeLimitService chargeLimit(makeChargeLimitControl(), &themeManager);
    chargeLimit.applyPreference();

    PrometheusTextfileWriter metricsWriter(model);
    if (const auto& file = commandLine.options.prometheusTextfile) {
        metricsWriter.setPath(QString::fromLocal8Bit(file->c_str()));
    } else {
        metricsWriter.setPath(themeManager.prometheusTextfile());
        QObject::connect(&themeManager, &ThemeManager::prometheusTextfileChanged, &metricsWriter,
                         &PrometheusTextfileWriter::setPath);
    }

    JoulemapShell shell(model, themeManager, systemInfo, settings);
    shell.setUpdateChecker(&updateChecker);
    shell.setChargeLimitService(&chargeLimit);
    QObject::connect(&instance, &SingleInstance::reopenRequested, &shell, &JoulemapShell::showMainWindow);
    const bool startHidden = qgetenv(kStartHiddenVariable) == "1";
    if (startHidden) model.setIsActive(false);
    shell.start(!startHidden);
    if (qgetenv(kOpenHistoryVariable) == "1") {
        // Queued, so the window opens on a running event loop as a user's click would.
        QTimer::singleShot(0, &shell, [&shell] {
            shell.auxWindows().enable();
            shell.auxWindows().show(AuxWindowKey::history);
        });
    }
    return QApplication::exec();
}
