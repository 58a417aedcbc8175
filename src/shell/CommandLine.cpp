#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace joulemap {

namespace {
const char* const kDescription = "Joulemap (焦图) shows, live, where the machine's power goes.";
const char* const kReplaceHelp = "Take over from a running Joulemap once it has quit (used after an update).";
const char* const kExportCsvHelp =
    "Write the history as samples.csv, apps.csv and alerts.csv into DIR and exit (no display needed).";
const char* const kDaysHelp = "With --export-csv: how many days back to export (default 30).";
constexpr int64_t kMaxDays = 36'500;

// A whole number of days from 1 to a century, or nothing.
std::optional<int64_t> parseDays(const QString& text) {
    bool ok = false;
    const qlonglong days = text.trimmed().toLongLong(&ok);
    if (!ok || days < 1 || days > kMaxDays) return std::nullopt;
    return days;
}
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
    const QCommandLineOption exportCsv(QStringLiteral("export-csv"), QString::fromUtf8(kExportCsvHelp),
                                       QStringLiteral("DIR"));
    parser.addOption(exportCsv);
    const QCommandLineOption days(QStringLiteral("days"), QString::fromUtf8(kDaysHelp), QStringLiteral("N"));
    parser.addOption(days);
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
        if (parser.isSet(exportCsv)) result.options.exportCsvFolder = parser.value(exportCsv).toLocal8Bit().toStdString();
        if (parser.isSet(days)) {
            const std::optional<int64_t> n = parseDays(parser.value(days));
            if (!n) {
                std::fprintf(stderr, "joulemap: --days wants a whole number of days from 1 to %lld, not \"%s\"\n",
                             static_cast<long long>(kMaxDays), qPrintable(parser.value(days)));
                result.exitStatus = 2;
                return result;
            }
            if (!parser.isSet(exportCsv)) {
                std::fputs("joulemap: --days only goes with --export-csv\n", stderr);
                result.exitStatus = 2;
                return result;
            }
            result.options.exportDays = *n;
        }
        if (result.options.exportCsvFolder && result.options.exportCsvFolder->empty()) {
            std::fputs("joulemap: --export-csv wants a folder\n", stderr);
            result.exitStatus = 2;
        }
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
