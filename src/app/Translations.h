#pragma once

#include <QString>
#include <QStringList>

#include "TextTranslation.h"

class QSettings;

namespace joulemap {

// Simplified Chinese is the source text; every other language in use gets the English translation.
namespace Translations {

// The preference's key and values: "system" follows the desktop's languages.
inline constexpr const char* kPreferenceKey = "language";
inline constexpr const char* kSystem = "system";
inline constexpr const char* kChinese = "zh";
inline constexpr const char* kEnglish = "en";

// Whether the texts stay Chinese for this preference and these desktop languages (first one decides;
// none, or the C locale, keeps the default).
bool usesChinese(const QString& preference, const QStringList& uiLanguages);

// Routes the core's texts through Qt's translation and installs the English translation when this
// preference's language is not Chinese, or removes it when it is. Windows made afterwards, and texts
// looked up when drawn, read in that language. Returns false when English was wanted but could not be loaded.
bool apply(const QString& preference);

// A fixed text of the app's own, kept as JM_TR_NOOP(context, source), in the language in use now.
inline QString text(const SourceText& source) { return QString::fromStdString(source.str()); }

// apply() with the stored preference; called once, after the application object and before any window.
bool install(const QSettings& settings);

}  // namespace Translations
}  // namespace joulemap
