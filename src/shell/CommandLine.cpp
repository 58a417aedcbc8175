#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace joulemap {

namespace {
const char* const kDescription = "Joulemap (焦图) shows, live, where the machine's power goes.";
const char* const kReplaceHelp = "Take over from a running Joulemap once it has quit (used after an update).";
const char* const kPrometheusTextfileHelp =
    "Write the metrics for node_exporter's textfile collector to PATH after every refresh (overrides the setting).";
const char* const kExportMetricsHelp = "Write the metrics once to FILE and quit, without a window.";
}  // namespace

CommandLineResult parseCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption replace(QStringLiteral("replace"), QString::fromUtf8(kReplaceHelp));
    parser.addOption(replace);
    const QCommandLineOption prometheusTextfile(QStringLiteral("prometheus-textfile"),
                                                QString::fromUtf8(kPrometheusTextfileHelp), QStringLiteral("PATH"));
    parser.addOption(prometheusTextfile);
    const QCommandLineOption exportMetrics(QStringLiteral("export-metrics"), QString::fromUtf8(kExportMetricsHelp),
                                           QStringLiteral("FILE"));
    parser.addOption(exportMetrics);

    CommandLineResult result;
    const bool parsed = parser.parse(arguments);
    const bool helpAll = parsed && parser.isSet(QStringLiteral("help-all"));
    if (parsed && !parser.isSet(help) && !helpAll && !parser.isSet(version)) {
        result.options.replace = parser.isSet(replace);
        if (parser.isSet(prometheusTextfile)) {
            result.options.prometheusTextfile = parser.value(prometheusTextfile).toLocal8Bit().toStdString();
        }
        if (parser.isSet(exportMetrics)) {
            result.options.exportMetricsFile = parser.value(exportMetrics).toLocal8Bit().toStdString();
        }
        return result;
    }
    // Only now an application object, and one without a display: the parser's texts use its name
    // and version.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("joulemap"));
    QCoreApplication::setApplicationVersion(QStringLiteral(JOULEMAP_VERSION));
    if (!parsed) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(parser.errorText()), qPrintable(parser.helpText()));
        result.exitStatus = 2;
    } else if (parser.isSet(help) || helpAll) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        result.exitStatus = 0;
    } else {
        std::printf("joulemap %s\n", JOULEMAP_VERSION);
        result.exitStatus = 0;
    }
    return result;
}

}  // namespace joulemap
