#include "model/Texts.h"

#include <atomic>

namespace faceto {

namespace {

std::atomic<TextTranslator> translator{nullptr};

} // namespace

void setTextTranslator(TextTranslator t) {
    translator.store(t);
}

std::string localText(std::string_view text, std::initializer_list<std::string_view> args) {
    const TextTranslator t = translator.load();
    const std::string pattern = t != nullptr ? t(text) : std::string(text);
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t n = i + 1 < pattern.size() ? size_t(pattern[i + 1] - '0') : 0;
        if (pattern[i] == '%' && n >= 1 && n <= 9 && n <= args.size()) {
            out += *(args.begin() + (n - 1));
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace faceto
