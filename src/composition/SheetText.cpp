// The data file's text forms: the TextureAtlas XML, the libGDX and Spine atlas, and CSS sprites.
#include <cstdio>
#include <string>

#include "composition/Animations.h"
#include "composition/SheetNames.h"
#include "foundation/ProductVersion.h"

namespace {

using Options = NS_Data::UComposeOptions_S;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// An attribute value: the markup characters as entities, and control characters, which XML
// 1.0 does not allow even as references, as U+FFFD.
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
            default:
                escaped +=
                    static_cast<unsigned char>(c) < 0x20 ? "\xEF\xBF\xBD" : std::string(1, c);
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
    if (options.data.hasPivot) {
        line += Attribute("pivotX", Number(options.data.pivotX * place.sourceSize.GetWidth())) +
                Attribute("pivotY", Number(options.data.pivotY * place.sourceSize.GetHeight()));
    }
    return line + "/>\n";
}

// The name a region of the atlas goes by, and its index: a numbered frame is its animation's
// frame of that number, as libGDX finds animations; any other keeps its name and no index.
std::pair<std::string, std::string> RegionName(const USheetDataFrame_S& frame,
                                               const std::string& name) {
    const std::string animation = FindAnimationName(frame);
    const std::size_t end =
        frame.name.rfind('#') != std::string::npos && frame.duration >= 0 ? frame.name.size()
        : frame.name.find_last_of('.') == std::string::npos               ? frame.name.size()
                                                            : frame.name.find_last_of('.');
    const std::size_t start = frame.name.find_last_not_of("0123456789", end - 1) + 1;
    const std::string digits = frame.name.substr(start, end - start);
    if (animation.empty() || digits.empty() || digits.size() > 9) {
        return {name, ""};
    }
    return {AsWritten(animation), std::to_string(std::stol(digits))};
}

// A line of the atlas cannot hold a line break.
std::string OneLine(std::string text) {
    for (char& c : text) {
        c = c == '\n' || c == '\r' ? ' ' : c;
    }
    return text;
}

std::string Region(const USheetDataFrame_S& frame, const std::string& name) {
    const NS_Data::UFrame_S& place = frame.place;
    const URect_C& at = place.onSheet;
    const auto [region, index] = RegionName(frame, name);
    // Offsets count from the picture's bottom-left corner, as libGDX measures.
    const int32_t fromBottom =
        place.sourceSize.GetHeight() - place.inSource.top - place.inSource.GetHeight();
    std::string text = OneLine(region) + "\n";
    text += "  bounds: " + std::to_string(at.left) + ", " + std::to_string(at.top) + ", " +
            std::to_string(at.GetWidth()) + ", " + std::to_string(at.GetHeight()) + "\n";
    if (place.IsTrimmed()) {
        text += "  offsets: " + std::to_string(place.inSource.left) + ", " +
                std::to_string(fromBottom) + ", " + std::to_string(place.sourceSize.GetWidth()) +
                ", " + std::to_string(place.sourceSize.GetHeight()) + "\n";
    }
    if (!index.empty()) {
        text += "  index: " + index + "\n";
    }
    return text;
}

// CSS needs a class name escaped where it is not a plain identifier.
std::string CssClass(const std::string& name) {
    std::string escaped;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool plain = c >= 0x80 || std::isalnum(c) || c == '-' || c == '_';
        const bool leadingDigit = std::isdigit(c) && (i == 0 || (i == 1 && name[0] == '-'));
        if (plain && !leadingDigit) {
            escaped += name[i];
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\%x ", c);
            escaped += hex;
        }
    }
    return escaped;
}

std::string CssRule(const USheetDataFrame_S& frame, const std::string& name,
                    const std::string& image) {
    const NS_Data::UFrame_S& place = frame.place;
    const URect_C& at = place.onSheet;
    const URect_C& in = place.inSource;
    std::string rule = "." + CssClass(name) + " {\n";
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

std::string FormatTextureAtlasXml(const USheetDataPage_S& page,
                                  const std::vector<std::string>& names, const Options& options) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<!-- " + std::string(ProductTitle) + " -->\n";
    text += "<TextureAtlas" + Attribute("imagePath", EscapeXml(AsWritten(page.meta.image))) +
            Attribute("width", std::to_string(page.meta.width)) +
            Attribute("height", std::to_string(page.meta.height)) + ">\n";
    for (std::size_t i = 0; i < page.frames.size(); ++i) {
        text += SubTexture(page.frames[i], names[i], options);
    }
    return text + "</TextureAtlas>\n";
}

std::string FormatLibgdxAtlas(const std::vector<USheetDataPage_S>& pages,
                              const std::vector<std::vector<std::string>>& names) {
    std::string text;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const USheetDataMeta_S& meta = pages[p].meta;
        text += (p > 0 ? "\n" : "") + OneLine(AsWritten(meta.image)) + "\n";
        text += "size: " + std::to_string(meta.width) + ", " + std::to_string(meta.height) + "\n";
        text += "format: RGBA8888\nfilter: Nearest, Nearest\nrepeat: none\n";
        for (std::size_t i = 0; i < pages[p].frames.size(); ++i) {
            text += Region(pages[p].frames[i], names[p][i]);
        }
    }
    return text;
}

std::string FormatCssSprites(const std::vector<USheetDataPage_S>& pages,
                             const std::vector<std::vector<std::string>>& names) {
    std::string text = "/* " + std::string(ProductTitle) + ": one class for each frame. */\n";
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (std::size_t i = 0; i < pages[p].frames.size(); ++i) {
            text += CssRule(pages[p].frames[i], names[p][i], AsWritten(pages[p].meta.image));
        }
    }
    return text;
}
