// The TextureAtlas XML that Starling, Sparrow and HaxeFlixel read.
#include <cstdio>

#include "composition/data/DataNames.h"
#include "composition/data/DataWriters.h"
#include "foundation/ProductVersion.h"

namespace {

using Options = NS_Data::UDataOptions_S;

constexpr char Replacement[] = "\xEF\xBF\xBD";

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The name as the file holds it: what XML 1.0 allows in no form, the control characters other
// than tab, line feed and carriage return, and U+FFFE and U+FFFF (UTF-8 EF BF BE, EF BF BF),
// becomes U+FFFD. Names are made unique on this text, so that no two frames meet as one.
std::string SpellXml(const std::string& name) {
    const std::string text = AsWritten(name);
    std::string spelled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            spelled += Replacement;
        } else if (c == 0xEF && i + 2 < text.size() && text[i + 1] == '\xBF' &&
                   (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
            spelled += Replacement;
            i += 2;
        } else {
            spelled += text[i];
        }
    }
    return spelled;
}

// An attribute value: the markup characters as entities; tab and line breaks as references,
// since a reader turns them into spaces where they stand as they are.
std::string EscapeXml(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\t':
                escaped += "&#9;";
                break;
            case '\n':
                escaped += "&#10;";
                break;
            case '\r':
                escaped += "&#13;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string Attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + value + "\"";
}

std::string SubTexture(const USheetDataFrame_S& frame, const std::string& name,
                       const Options& options) {
    const NS_Data::UFrame_S& place = frame.place;
    const URect_C& at = place.onSheet;
    // Starling reads the region as it lies on the sheet, and turns it back itself.
    const int32_t width = frame.rotated ? at.GetHeight() : at.GetWidth();
    const int32_t height = frame.rotated ? at.GetWidth() : at.GetHeight();
    std::string line =
        "    <SubTexture" + Attribute("name", EscapeXml(name)) +
        Attribute("x", std::to_string(at.left)) + Attribute("y", std::to_string(at.top)) +
        Attribute("width", std::to_string(width)) + Attribute("height", std::to_string(height));
    if (place.IsTrimmed()) {
        // Where the picture's own corner lies from the frame's: negative, or zero.
        line += Attribute("frameX", std::to_string(-place.inSource.left)) +
                Attribute("frameY", std::to_string(-place.inSource.top)) +
                Attribute("frameWidth", std::to_string(place.sourceSize.GetWidth())) +
                Attribute("frameHeight", std::to_string(place.sourceSize.GetHeight()));
    }
    if (frame.rotated) {
        line += Attribute("rotated", "true");
    }
    if (options.hasPivot) {
        line += Attribute("pivotX", Number(options.pivotX * place.sourceSize.GetWidth())) +
                Attribute("pivotY", Number(options.pivotY * place.sourceSize.GetHeight()));
    }
    return line + "/>\n";
}

}  // namespace

std::string FormatTextureAtlasXml(const std::vector<USheetDataPage_S>& pages,
                                  const Options& options, std::vector<std::string>&) {
    const USheetDataPage_S& page = pages.front();
    const std::vector<std::string> names = MakeUniqueNames(pages, SpellXml).front();
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<!-- " + std::string(ProductTitle) + " -->\n";
    text += "<TextureAtlas" + Attribute("imagePath", EscapeXml(SpellXml(page.meta.image))) +
            Attribute("width", std::to_string(page.meta.width)) +
            Attribute("height", std::to_string(page.meta.height)) + ">\n";
    for (std::size_t i = 0; i < page.frames.size(); ++i) {
        text += SubTexture(page.frames[i], names[i], options);
    }
    return text + "</TextureAtlas>\n";
}
