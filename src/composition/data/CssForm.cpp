// CSS sprites: one class for each frame.
#include <cstdio>

#include "composition/data/DataNames.h"
#include "composition/data/DataWriters.h"
#include "foundation/ProductVersion.h"

namespace {

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// The class as a page's class attribute can hold it: HTML splits the attribute at spaces, tabs,
// line feeds, form feeds and carriage returns, so each of them, and every other control
// character, becomes '-'.
std::string ClassName(const std::string& name) {
    std::string text = AsWritten(name);
    for (char& c : text) {
        c = IsControl(static_cast<unsigned char>(c)) || c == ' ' ? '-' : c;
    }
    return text;
}

char* Hex(unsigned char c, char (&text)[8]) {
    std::snprintf(text, sizeof text, "\\%x ", c);
    return text;
}

// The selector's identifier: what is not a plain identifier is escaped by its code, as is a
// leading digit, a digit after a leading '-', and a '-' alone.
std::string CssIdentifier(const std::string& name) {
    std::string escaped;
    char hex[8];
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool plain = c >= 0x80 || std::isalnum(c) || c == '-' || c == '_';
        const bool leadingDigit = std::isdigit(c) && (i == 0 || (i == 1 && name[0] == '-'));
        const bool loneDash = name == "-";
        escaped += plain && !leadingDigit && !loneDash ? std::string(1, name[i]) : Hex(c, hex);
    }
    return escaped;
}

// A string between double quotes: the quote and backslash escaped, control characters (line
// breaks among them) by their code, as a string cannot hold them.
std::string CssString(const std::string& text) {
    std::string escaped;
    char hex[8];
    for (const char c : AsWritten(text)) {
        escaped += c == '"' || c == '\\'                      ? std::string{'\\', c}
                   : IsControl(static_cast<unsigned char>(c)) ? std::string(Hex(c, hex))
                                                              : std::string(1, c);
    }
    return escaped;
}

std::string CssRule(const USheetDataFrame_S& frame, const std::string& name,
                    const std::string& image) {
    const NS_Data::UFrame_S& place = frame.place;
    const URect_C& at = place.onSheet;
    const URect_C& in = place.inSource;
    std::string rule = "." + CssIdentifier(name) + " {\n";
    rule += "  display: inline-block;\n  box-sizing: content-box;\n";
    rule += "  width: " + std::to_string(at.GetWidth()) + "px;\n";
    rule += "  height: " + std::to_string(at.GetHeight()) + "px;\n";
    // A trimmed frame keeps its picture's box: the cut edges come back as clear padding.
    if (place.IsTrimmed()) {
        rule += "  padding: " + std::to_string(in.top) + "px " +
                std::to_string(place.sourceSize.GetWidth() - in.left - in.GetWidth()) + "px " +
                std::to_string(place.sourceSize.GetHeight() - in.top - in.GetHeight()) + "px " +
                std::to_string(in.left) + "px;\n";
    }
    rule += "  background: url(\"" + image + "\") no-repeat -" + std::to_string(at.left) + "px -" +
            std::to_string(at.top) + "px;\n";
    rule += "  background-origin: content-box;\n  background-clip: content-box;\n}\n";
    return rule;
}

}  // namespace

std::string FormatCssSprites(const std::vector<USheetDataPage_S>& pages,
                             const NS_Data::UDataOptions_S&, std::vector<std::string>&) {
    const std::vector<std::vector<std::string>> names = MakeUniqueNames(pages, ClassName);
    std::string text = "/* " + std::string(ProductTitle) + ": one class for each frame. */\n";
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::string image = CssString(pages[p].meta.image);
        for (std::size_t i = 0; i < pages[p].frames.size(); ++i) {
            text += CssRule(pages[p].frames[i], names[p][i], image);
        }
    }
    return text;
}
