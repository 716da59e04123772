#include "foundation/ShownText.h"

namespace NS_Base {
namespace {

UTranslate_F currentTranslation = nullptr;

}  // namespace

void SetTranslation(UTranslate_F translate) {
    currentTranslation = translate;
}

std::string ShownText(const char* context, const char* text) {
    return currentTranslation ? currentTranslation(context, text) : std::string(text);
}

std::string FillIn(std::string_view pattern, const std::vector<std::string>& values) {
    std::string text;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const std::size_t number = pattern[at] == '%' && at + 1 < pattern.size() &&
                                           pattern[at + 1] >= '1' && pattern[at + 1] <= '9'
                                       ? static_cast<std::size_t>(pattern[at + 1] - '0')
                                       : 0;
        if (number == 0 || number > values.size()) {
            text += pattern[at];
            continue;
        }
        text += values[number - 1];
        ++at;
    }
    return text;
}

}  // namespace NS_Base
