#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace joulemap {

// The core writes what the user reads in Simplified Chinese. The application puts those texts in
// the language in use by installing a translator; without one (core tests, tools) they read as
// written. A translator is given the context, the source text and, for a text about a count, the
// count (else -1), and returns UTF-8 with "%n" replaced by the count, as Qt's translate() does.
using TextTranslator = std::string (*)(const char* context, const char* source, int count);

// Called once, before any text is made; the translator must be safe to call from any thread.
void setTextTranslator(TextTranslator translator);

std::string translated(const char* context, const char* source, int count = -1);

// "%1" … "%9" replaced by the arguments, as QString::arg numbers them: a translation may reorder them.
std::string withArgs(std::string_view pattern, std::initializer_list<std::string_view> args);

// A fixed text kept for later: its words are looked up each time str() is called, so a text kept
// in a constant follows a change of language.
struct SourceText {
    const char* context;
    const char* source;

    std::string str() const { return translated(context, source); }
    bool operator==(const SourceText& other) const {
        return std::string_view(context) == other.context && std::string_view(source) == other.source;
    }
};

}  // namespace joulemap

// lupdate knows these as translate() and QT_TRANSLATE_NOOP() (see the translations' CMake options).
#define JM_TR(context, source) ::joulemap::translated(context, source)
// With the count, so a language can say "1 record" and "2 records"; the comment is for translators.
#define JM_TR_N(context, source, comment, count) ::joulemap::translated(context, source, count)
#define JM_TR_NOOP(context, source) ::joulemap::SourceText{context, source}
