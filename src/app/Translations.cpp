#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QSettings>
#include <QTranslator>

#include "TextTranslation.h"

namespace joulemap::Translations {
namespace {

const char* const kFileName = "joulemap_en.qm";
// Next to the installed program first, so a packaged translation wins over the built-in copy.
const char* const kInstalledFolder = "/../share/joulemap/translations";
const char* const kEmbeddedFolder = ":/translations";

std::string translateWithQt(const char* context, const char* source, int count) {
    return QCoreApplication::translate(context, source, nullptr, count).toStdString();
}

}  // namespace

bool usesChinese(const QString& preference, const QStringList& uiLanguages) {
    if (preference == QLatin1String(kChinese)) return true;
    if (preference == QLatin1String(kEnglish)) return false;
    // A desktop that names no language (the C locale) gets the default, which is Chinese.
    if (uiLanguages.isEmpty() || uiLanguages.front() == QLatin1String("C")) return true;
    return uiLanguages.front().startsWith(QLatin1String("zh"), Qt::CaseInsensitive);
}

namespace {

// Qt's own texts (the help's standard options, the buttons of a file dialog) are English as
// written; in Chinese they take Qt's Chinese translation where it is installed.
void applyQtChinese(bool chinese) {
    static QPointer<QTranslator> qtChinese;
    if (!chinese) {
        delete qtChinese.data();
        return;
    }
    if (qtChinese) return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator)) {
        qtChinese = translator;
    } else {
        delete translator;
    }
}

}  // namespace

bool apply(const QString& preference) {
    setTextTranslator(&translateWithQt);
    // One English translator at most, owned by the application; a Chinese preference removes it.
    static QPointer<QTranslator> english;
    const bool chinese = usesChinese(preference, QLocale::system().uiLanguages());
    applyQtChinese(chinese);
    if (chinese) {
        delete english.data();
        return true;
    }
    if (english) return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString fileName = QLatin1String(kFileName);
    for (const QString& folder : {QCoreApplication::applicationDirPath() + QLatin1String(kInstalledFolder),
                                  QString::fromLatin1(kEmbeddedFolder)}) {
        if (translator->load(fileName, folder) && QCoreApplication::installTranslator(translator)) {
            english = translator;
            return true;
        }
    }
    delete translator;
    return false;
}

bool install(const QSettings& settings) {
    return apply(settings.value(QLatin1String(kPreferenceKey), QLatin1String(kSystem)).toString());
}

}  // namespace joulemap::Translations
