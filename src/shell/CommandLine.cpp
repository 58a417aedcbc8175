#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <QStringList>

#include <cstdio>
#include <variant>

#include "Translations.h"

namespace joulemap {

namespace {

// The help is read in the language the windows use; it is looked up only when printed.
constexpr SourceText kDescription = JM_TR_NOOP("CommandLine", "焦图（Joulemap）实时显示本机的电都用在了哪里。");
constexpr SourceText kReplaceHelp = JM_TR_NOOP("CommandLine", "等正在运行的焦图退出后接替它（更新后使用）。");
constexpr SourceText kExportCsvHelp = JM_TR_NOOP(
    "CommandLine", "把历史记录写成 samples.csv、apps.csv 和 alerts.csv 放进 DIR，然后退出（无需显示器）。");
constexpr SourceText kDaysHelp = JM_TR_NOOP("CommandLine", "与 --export-csv 同用：导出最近多少天（默认 30）。");
constexpr SourceText kPrometheusTextfileHelp = JM_TR_NOOP(
    "CommandLine", "每次刷新后把指标写到 PATH，供 node_exporter 的 textfile 收集器读取（优先于设置）。");
constexpr SourceText kExportMetricsHelp = JM_TR_NOOP("CommandLine", "把指标写入 FILE 一次后退出，不打开窗口。");
constexpr SourceText kBadDays = JM_TR_NOOP("CommandLine", "joulemap：--days 需要 1 到 %1 之间的整数天数，而不是“%2”");
constexpr SourceText kDaysWithoutExport = JM_TR_NOOP("CommandLine", "joulemap：--days 只能与 --export-csv 一起使用");
constexpr SourceText kExportWithoutFolder = JM_TR_NOOP("CommandLine", "joulemap：--export-csv 需要一个文件夹");
constexpr int64_t kMaxDays = 36'500;

// A whole number of days from 1 to a century, or nothing.
std::optional<int64_t> parseDays(const QString& text) {
    bool ok = false;
    const qlonglong days = text.trimmed().toLongLong(&ok);
    if (!ok || days < 1 || days > kMaxDays) return std::nullopt;
    return days;
}

struct Options {
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption replace;
    QCommandLineOption exportCsv;
    QCommandLineOption days;
    QCommandLineOption prometheusTextfile;
    QCommandLineOption exportMetrics;
};

// Made once to parse and again, translated, to print the help.
Options addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(Translations::text(kDescription));
    Options o{parser.addHelpOption(),
              parser.addVersionOption(),
              {QStringLiteral("replace"), Translations::text(kReplaceHelp)},
              {QStringLiteral("export-csv"), Translations::text(kExportCsvHelp), QStringLiteral("DIR")},
              {QStringLiteral("days"), Translations::text(kDaysHelp), QStringLiteral("N")},
              {QStringLiteral("prometheus-textfile"), Translations::text(kPrometheusTextfileHelp), QStringLiteral("PATH")},
              {QStringLiteral("export-metrics"), Translations::text(kExportMetricsHelp), QStringLiteral("FILE")}};
    for (const QCommandLineOption* option : {&o.replace, &o.exportCsv, &o.days, &o.prometheusTextfile, &o.exportMetrics}) {
        parser.addOption(*option);
    }
    return o;
}

// The options when they are good to run with, else the mistake to report.
std::variant<CommandLine, QString> readOptions(const QCommandLineParser& parser, const Options& o) {
    CommandLine options;
    options.replace = parser.isSet(o.replace);
    if (parser.isSet(o.exportCsv)) options.exportCsvFolder = parser.value(o.exportCsv).toLocal8Bit().toStdString();
    if (parser.isSet(o.days)) {
        const std::optional<int64_t> n = parseDays(parser.value(o.days));
        if (!n) return Translations::text(kBadDays).arg(kMaxDays).arg(parser.value(o.days));
        if (!parser.isSet(o.exportCsv)) return Translations::text(kDaysWithoutExport);
        options.exportDays = *n;
    }
    if (options.exportCsvFolder && options.exportCsvFolder->empty()) return Translations::text(kExportWithoutFolder);
    if (parser.isSet(o.prometheusTextfile)) {
        options.prometheusTextfile = parser.value(o.prometheusTextfile).toLocal8Bit().toStdString();
    }
    if (parser.isSet(o.exportMetrics)) options.exportMetricsFile = parser.value(o.exportMetrics).toLocal8Bit().toStdString();
    return options;
}

}  // namespace

CommandLineResult parseCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    const Options options = addOptions(parser);
    CommandLineResult result;
    const bool parsed = parser.parse(arguments);
    const bool helpAll = parsed && parser.isSet(QStringLiteral("help-all"));
    const bool wantsText = !parsed || parser.isSet(options.help) || helpAll || parser.isSet(options.version);
    if (!wantsText) {
        auto read = readOptions(parser, options);
        if (auto* good = std::get_if<CommandLine>(&read)) {
            result.options = std::move(*good);
            return result;
        }
    }
    // Only now an application object, and one without a display: the parser's texts use its name
    // and version, and the translation needs one.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("joulemap"));
    QCoreApplication::setApplicationVersion(QStringLiteral(JOULEMAP_VERSION));
    Translations::install(QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Joulemap"),
                                    QStringLiteral("Joulemap")));
    QCommandLineParser translated;
    const Options shown = addOptions(translated);
    translated.parse(arguments);
    result.exitStatus = 0;
    if (!parsed) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(translated.errorText()), qPrintable(translated.helpText()));
        result.exitStatus = 2;
    } else if (parser.isSet(options.help) || helpAll) {
        std::fputs(qPrintable(translated.helpText()), stdout);
    } else if (parser.isSet(options.version)) {
        std::printf("joulemap %s\n", JOULEMAP_VERSION);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(std::get<QString>(readOptions(translated, shown))));
        result.exitStatus = 2;
    }
    return result;
}

}  // namespace joulemap
