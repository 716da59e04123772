#pragma once

#include <string>
#include <string_view>
#include <vector>

// Marks a text shown to users in code without Qt, so that lupdate finds it (its option
// -tr-function-alias QT_TRANSLATE_NOOP+=TR_NOOP); expands to the text alone. Message tables use
// the context "UError_C": a template's error names the class derived from it as its position, so
// the position could not find the table's texts.
#define TR_NOOP(context, text) text

namespace NS_Base {

// Gives the text shown to the user for the source `text` marked under `context`.
using UTranslate_F = std::string (*)(const char* context, const char* text);

// Installs the translation that the program chose at start; null shows the source texts.
void SetTranslation(UTranslate_F translate);

// `text` in the installed translation. lupdate finds these calls by their name
// (-tr-function-alias translate+=ShownText), so `context` and `text` must be literals there.
std::string ShownText(const char* context, const char* text);

// `pattern` with each %1 ... %9 replaced by that value, in one pass: a value's own "%2" stays
// as it is, and so does a number without a value.
std::string FillIn(std::string_view pattern, const std::vector<std::string>& values);

}  // namespace NS_Base
