// The text atlas that libGDX and the Spine runtimes read.
#include "composition/data/Animations.h"
#include "composition/data/DataNames.h"
#include "composition/data/DataWriters.h"

namespace {

// The code point that starts at text[at] of valid UTF-8, and its length in bytes.
std::pair<char32_t, std::size_t> CodePointAt(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length && at + i < text.size(); ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    return {code, length};
}

// What the readers trim from a line's ends: Java's trim every code point up to U+0020,
// JavaScript's the Unicode spaces and U+FEFF besides.
bool IsTrimmed(char32_t c) {
    return c <= 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// A line both readers give back as it was written, and read as a name: a line holding ':' is
// an entry of the region before, a blank one ends the page, a line break splits the name and
// the readers trim the ends. Each such character becomes '_'.
std::string AtlasLine(const std::string& name) {
    const std::string text = AsWritten(name);
    std::vector<std::pair<char32_t, std::string>> points;
    for (std::size_t at = 0; at < text.size();) {
        const auto [code, length] = CodePointAt(text, at);
        points.emplace_back(code, text.substr(at, length));
        at += length;
    }
    std::size_t first = 0;
    while (first < points.size() && IsTrimmed(points[first].first)) {
        points[first++].second = "_";
    }
    for (std::size_t last = points.size(); last > first && IsTrimmed(points[last - 1].first);) {
        points[--last].second = "_";
    }
    std::string line;
    for (const auto& [code, bytes] : points) {
        line += code == ':' || code == '\n' || code == '\r' ? "_" : bytes;
    }
    return line.empty() ? "_" : line;
}

// A region's name and index: a numbered frame is its animation's frame of that number, as
// libGDX finds animations; any other keeps its name and no index.
struct URegion_S {
    std::string name;
    std::string index;
};

URegion_S FindRegion(const USheetDataFrame_S& frame) {
    const std::string animation = FindAnimationName(frame);
    const std::size_t end =
        frame.name.rfind('#') != std::string::npos && frame.duration >= 0 ? frame.name.size()
        : frame.name.find_last_of('.') == std::string::npos               ? frame.name.size()
                                                            : frame.name.find_last_of('.');
    const std::size_t start = frame.name.find_last_not_of("0123456789", end - 1) + 1;
    const std::string digits = frame.name.substr(start, end - start);
    if (animation.empty() || digits.empty() || digits.size() > 9) {
        return {frame.name, ""};
    }
    return {animation, std::to_string(std::stol(digits))};
}

// Every region's line and index, unique as a pair: a numbered frame whose pair is taken
// already, and every other frame, goes by its own name made unique. Counts in `rewritten` the
// names AtlasLine changed.
std::vector<std::vector<URegion_S>> NameRegions(const std::vector<USheetDataPage_S>& pages,
                                                std::size_t& rewritten) {
    UUniqueNames_C unique;
    std::vector<std::vector<URegion_S>> regions(pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const USheetDataFrame_S& frame : pages[p].frames) {
            URegion_S region = FindRegion(frame);
            std::string line = AtlasLine(region.name);
            // A line never holds '\n', so no pair's key is a plain name.
            if (region.index.empty() || unique.Holds(line + "\n" + region.index)) {
                region = {frame.name, ""};
                line = AtlasLine(frame.name);
            }
            rewritten += line != AsWritten(region.name) ? 1 : 0;
            const std::string key = region.index.empty() ? line : line + "\n" + region.index;
            const std::string taken = unique.Take(key);
            regions[p].push_back({region.index.empty() ? taken : line, region.index});
        }
    }
    return regions;
}

std::string Region(const USheetDataFrame_S& frame, const URegion_S& region) {
    const NS_Data::UFrame_S& place = frame.place;
    const URect_C& at = place.onSheet;
    // Offsets count from the picture's bottom-left corner, as libGDX measures.
    const int32_t fromBottom =
        place.sourceSize.GetHeight() - place.inSource.top - place.inSource.GetHeight();
    std::string text = region.name + "\n";
    text += "  bounds: " + std::to_string(at.left) + ", " + std::to_string(at.top) + ", " +
            std::to_string(at.GetWidth()) + ", " + std::to_string(at.GetHeight()) + "\n";
    if (place.IsTrimmed()) {
        text += "  offsets: " + std::to_string(place.inSource.left) + ", " +
                std::to_string(fromBottom) + ", " + std::to_string(place.sourceSize.GetWidth()) +
                ", " + std::to_string(place.sourceSize.GetHeight()) + "\n";
    }
    if (!region.index.empty()) {
        text += "  index: " + region.index + "\n";
    }
    return text;
}

}  // namespace

std::string FormatLibgdxAtlas(const std::vector<USheetDataPage_S>& pages,
                              const NS_Data::UDataOptions_S&, std::vector<std::string>& warnings) {
    std::size_t rewritten = 0;
    const std::vector<std::vector<URegion_S>> regions = NameRegions(pages, rewritten);
    std::string text;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const USheetDataMeta_S& meta = pages[p].meta;
        const std::string image = AtlasLine(meta.image);
        rewritten += image != AsWritten(meta.image) ? 1 : 0;
        text += (p > 0 ? "\n" : "") + image + "\n";
        text += "size: " + std::to_string(meta.width) + ", " + std::to_string(meta.height) + "\n";
        text += "format: RGBA8888\nfilter: Nearest, Nearest\nrepeat: none\n";
        // libGDX and the Spine runtimes read a page's premultiplied alpha here (false when
        // absent); Spine's renderers then blend by it.
        text += meta.premultiplied ? "pma: true\n" : "";
        for (std::size_t i = 0; i < pages[p].frames.size(); ++i) {
            text += Region(pages[p].frames[i], regions[p][i]);
        }
    }
    if (rewritten > 0) {
        warnings.push_back("libgdx atlas: " + std::to_string(rewritten) +
                           " names hold ':', a line break or spaces at an end, which its lines "
                           "cannot; each such character is written as '_'");
    }
    return text;
}
