#include "TextTranslation.h"

#include <atomic>

namespace joulemap {

namespace {
std::atomic<TextTranslator> gTranslator{nullptr};
}  // namespace

void setTextTranslator(TextTranslator translator) { gTranslator.store(translator); }

std::string translated(const char* context, const char* source, int count) {
    if (const TextTranslator translator = gTranslator.load()) return translator(context, source, count);
    std::string text(source);
    if (count < 0) return text;
    const std::string figure = std::to_string(count);
    for (std::size_t at = text.find("%n"); at != std::string::npos; at = text.find("%n", at + figure.size())) {
        text.replace(at, 2, figure);
    }
    return text;
}

std::string withArgs(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const std::size_t index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
            out += *(args.begin() + index);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace joulemap
