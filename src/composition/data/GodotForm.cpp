// Godot's text resource (.tres): a SpriteFrames whose frames are AtlasTextures of the sheets.
#include <algorithm>
#include <charconv>
#include <cstdio>

#include "composition/data/Animations.h"
#include "composition/data/DataNames.h"
#include "composition/data/DataWriters.h"

namespace {

// Where Godot 4's text resources differ from Godot 3's.
struct UDialect_S {
    // The header's format: Godot 3 refuses a file newer than its own 2.
    int format;
    // The sheets' class: Texture2D in Godot 4, Texture in Godot 3.
    const char* texture;
    // Godot 4 names resources by strings, ExtResource("1"); Godot 3 by numbers, ExtResource( 1 ).
    bool textIds;
};

constexpr UDialect_S Godot4 = {3, "Texture2D", true};
constexpr UDialect_S Godot3 = {2, "Texture", false};

// A string as both parsers read it back: the quote and backslash escaped, control characters by
// the escapes both decode, so no line-ending conversion can change a name.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : AsWritten(text)) {
        const auto code = static_cast<unsigned char>(c);
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", code);
        quoted += c == '"' || c == '\\' ? std::string{'\\', c}
                  : c == '\n'           ? std::string("\\n")
                  : c == '\t'           ? std::string("\\t")
                  : code < 0x20         ? std::string(escape)
                                        : std::string(1, c);
    }
    return quoted + "\"";
}

std::string Id(std::size_t id, const UDialect_S& dialect) {
    return dialect.textIds ? "\"" + std::to_string(id) + "\"" : std::to_string(id);
}

std::string Reference(const char* kind, std::size_t id, const UDialect_S& dialect) {
    return std::string(kind) +
           (dialect.textIds ? "(" + Id(id, dialect) + ")" : "( " + Id(id, dialect) + " )");
}

std::string Rect(int32_t x, int32_t y, int32_t w, int32_t h, const UDialect_S& dialect) {
    const std::string list = std::to_string(x) + ", " + std::to_string(y) + ", " +
                             std::to_string(w) + ", " + std::to_string(h);
    return dialect.textIds ? "Rect2(" + list + ")" : "Rect2( " + list + " )";
}

// The shortest digits that read back as `value`, always with a point: Godot reads "10" as an
// integer, which the animation's speed takes all the same, but writes its floats this way.
std::string Real(double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::string text(digits, end);
    return text.find_first_of(".e") == std::string::npos ? text + ".0" : text;
}

std::string AtlasTexture(const USheetDataFrame_S& frame, const std::string& name, std::size_t sheet,
                         std::size_t id, const UDialect_S& dialect) {
    const NS_Data::UFrame_S& place = frame.place;
    const URect_C& at = place.onSheet;
    std::string text = "[sub_resource type=\"AtlasTexture\" id=" + Id(id, dialect) +
                       "]\nresource_name = " + Quoted(name) +
                       "\natlas = " + Reference("ExtResource", sheet, dialect) + "\nregion = " +
                       Rect(at.left, at.top, at.GetWidth(), at.GetHeight(), dialect);
    // The cut edges come back as margin: the texture keeps its picture's size, the kept part
    // drawn at its place in it.
    if (place.IsTrimmed()) {
        const URect_C& in = place.inSource;
        text += "\nmargin = " + Rect(in.left, in.top, place.sourceSize.GetWidth() - in.GetWidth(),
                                     place.sourceSize.GetHeight() - in.GetHeight(), dialect);
    }
    // Filtering then samples no neighbour's pixels across the region's edge.
    return text + "\nfilter_clip = true\n\n";
}

// One playable entry of the SpriteFrames: an animation, or a still frame under its own name.
struct UEntry_S {
    std::string name;
    std::vector<std::size_t> frames;
};

// Milliseconds `frame` shows: its gif's own, else one frame at the given rate.
double Milliseconds(const USheetDataFrame_S& frame, int32_t fps) {
    return frame.duration >= 0 ? frame.duration : 1000.0 / fps;
}

// Godot 4 keeps a duration for each frame, in frames at the animation's speed.
std::string Godot4Entry(const UEntry_S& entry, const std::vector<USheetDataFrame_S>& frames,
                        int32_t fps) {
    std::string text = "{\n\"frames\": [";
    for (std::size_t k = 0; k < entry.frames.size(); ++k) {
        const std::size_t i = entry.frames[k];
        text += std::string(k > 0 ? ", " : "") +
                "{\n\"duration\": " + Real(Milliseconds(frames[i], fps) * fps / 1000) +
                ",\n\"texture\": " + Reference("SubResource", i + 1, Godot4) + "\n}";
    }
    return text + "],\n\"loop\": true,\n\"name\": &" + Quoted(entry.name) +
           ",\n\"speed\": " + Real(fps) + "\n}";
}

// Godot 3 shows every frame of an animation for as long: a gif's frames play at their average
// rate. Counts in `uneven` the animations whose frames were not all as long.
std::string Godot3Entry(const UEntry_S& entry, const std::vector<USheetDataFrame_S>& frames,
                        int32_t fps, std::size_t& uneven) {
    std::string list;
    double total = 0;
    bool timed = false;
    bool even = true;
    for (const std::size_t i : entry.frames) {
        list += (list.empty() ? " " : ", ") + Reference("SubResource", i + 1, Godot3);
        total += Milliseconds(frames[i], fps);
        timed = timed || frames[i].duration >= 0;
        even = even && frames[i].duration == frames[entry.frames[0]].duration;
    }
    uneven += even ? 0 : 1;
    const double speed = timed && total > 0 ? 1000.0 * entry.frames.size() / total : fps;
    return "{\n\"frames\": [" + list + " ],\n\"loop\": true,\n\"name\": " + Quoted(entry.name) +
           ",\n\"speed\": " + Real(speed) + "\n}";
}

// The animations, then every frame that plays in none, each under a name of its own.
std::vector<UEntry_S> Entries(const std::vector<USheetDataFrame_S>& frames,
                              const std::vector<std::string>& names) {
    UUniqueNames_C unique;
    std::vector<UEntry_S> entries;
    std::vector<bool> animated(frames.size());
    for (UAnimation_S& animation : FindAnimations(frames)) {
        for (const std::size_t i : animation.frames) {
            animated[i] = true;
        }
        entries.push_back({unique.Take(AsWritten(animation.name)), std::move(animation.frames)});
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (!animated[i]) {
            entries.push_back({unique.Take(names[i]), {i}});
        }
    }
    return entries;
}

}  // namespace

namespace {

// The SpriteFrames' animations list.
std::string Animations(const std::vector<USheetDataFrame_S>& frames,
                       const std::vector<std::string>& names, int32_t fps,
                       const UDialect_S& dialect, std::vector<std::string>& warnings) {
    std::size_t uneven = 0;
    std::string animations;
    for (const UEntry_S& entry : Entries(frames, names)) {
        animations += (animations.empty() ? "" : ", ") +
                      (dialect.textIds ? Godot4Entry(entry, frames, fps)
                                       : Godot3Entry(entry, frames, fps, uneven));
    }
    if (uneven > 0) {
        warnings.push_back("godot3: " + std::to_string(uneven) +
                           " animations have frames of different durations, which Godot 3 cannot "
                           "hold; each plays at its frames' average rate");
    }
    return "[" + animations + "]";
}

std::string FormatGodot(const std::vector<USheetDataPage_S>& pages,
                        const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings,
                        const UDialect_S& dialect) {
    const std::vector<std::vector<std::string>> pageNames = MakeUniqueNames(pages);
    std::vector<USheetDataFrame_S> frames;
    std::vector<std::string> names;
    std::string sheets, textures;
    // One file holds every sheet, so an animation may take its frames from several.
    for (std::size_t p = 0; p < pages.size(); ++p) {
        sheets += "[ext_resource type=\"" + std::string(dialect.texture) +
                  "\" path=" + Quoted(pages[p].meta.image) + " id=" + Id(p + 1, dialect) + "]\n";
        for (std::size_t i = 0; i < pages[p].frames.size(); ++i) {
            frames.push_back(pages[p].frames[i]);
            names.push_back(pageNames[p][i]);
            textures += AtlasTexture(frames.back(), names.back(), p + 1, frames.size(), dialect);
        }
    }
    return "[gd_resource type=\"SpriteFrames\" load_steps=" +
           std::to_string(pages.size() + frames.size() + 1) +
           " format=" + std::to_string(dialect.format) + "]\n\n" + sheets + "\n" + textures +
           "[resource]\nanimations = " +
           Animations(frames, names, std::max(data.fps, 1), dialect, warnings) + "\n";
}

}  // namespace

std::string FormatGodot4(const std::vector<USheetDataPage_S>& pages,
                         const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings) {
    return FormatGodot(pages, data, warnings, Godot4);
}

std::string FormatGodot3(const std::vector<USheetDataPage_S>& pages,
                         const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings) {
    return FormatGodot(pages, data, warnings, Godot3);
}
