#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "composition/UOptionConflict_S.h"
#include "composition/data/DataNames.h"
#include "composition/data/SheetData.h"
#include "composition/data/UDataForm_S.h"

namespace {

using Options = NS_Data::UComposeOptions_S;
using Form = NS_Data::UDataOptions_S;

std::vector<USheetDataFrame_S> Named(const std::vector<std::string>& names) {
    std::vector<USheetDataFrame_S> frames;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const URect_C at = URect_C::FromPointSize({int32_t(i) * 4, 0}, {4, 3});
        frames.push_back({names[i], {at, URect_C::FromPointSize({1, 2}, {4, 3}), {6, 8}}});
    }
    return frames;
}

std::string Summary(const std::vector<UAnimation_S>& animations) {
    std::string text;
    for (const UAnimation_S& animation : animations) {
        text += animation.name + ":";
        for (const std::size_t i : animation.frames) {
            text += " " + std::to_string(i);
        }
        text += ";";
    }
    return text;
}

TEST(SheetData, NumberedNamesAndGifFramesMakeAnimationsInPlayingOrder) {
    std::vector<USheetDataFrame_S> gif = Named({"fx/boom.gif#1", "fx/boom.gif#0"});
    gif[0].duration = 30;
    gif[1].duration = 0;
    const std::pair<std::vector<USheetDataFrame_S>, std::string> cases[] = {
        {Named({"walk_10.png", "walk_2.png", "logo.png", "run-3.png", "walk/01.png"}),
         "walk: 4 1 0;"},
        {Named({"a/walk/02.png", "a/walk/01.png", "b7.png"}), "a/walk: 1 0;"},
        {Named({"01.png", "02.png", "x.png"}), "frames: 0 1;"},
        {gif, "fx/boom: 1 0;"},
    };
    for (const auto& [frames, expected] : cases) {
        EXPECT_EQ(Summary(FindAnimations(frames)), expected) << frames[0].name;
    }
}

// Each form names every frame and the facts an engine needs, in the words its loader reads.
TEST(SheetData, EveryFormSaysWhereEachFrameLiesAsItsEngineReadsIt) {
    Options options;
    options.data.hasPivot = true;
    options.data.pivotX = 0.5;
    options.data.pivotY = 1;
    const std::vector<USheetDataPage_S> pages = {
        {{"s.png", 12, 3, 1, {}, {}}, Named({"run_2.png", "run_1.png", "a&b\n.png"})}};

    options.data.form = Form::Aseprite;
    const auto aseprite = nlohmann::json::parse(FormatSheetData(pages, options));
    EXPECT_EQ(aseprite["frames"]["0"]["filename"], "run_1.png");
    EXPECT_EQ(aseprite["frames"]["0"]["duration"], 100);
    EXPECT_EQ(aseprite["frames"]["0"]["pivot"], (nlohmann::json{{"x", 0.5}, {"y", 1.0}}));
    EXPECT_EQ(aseprite["meta"]["frameTags"][0],
              (nlohmann::json{{"name", "run"}, {"from", 0}, {"to", 1}, {"direction", "forward"}}));

    options.data.form = Form::JsonHash;
    const auto hash = nlohmann::json::parse(FormatSheetData(pages, options));
    EXPECT_EQ(hash["animations"]["run"], (nlohmann::json{"run_1.png", "run_2.png"}));
    // PixiJS keys an array's frames by their indexes, and finds animation frames by key.
    options.data.form = Form::JsonArray;
    const auto array = nlohmann::json::parse(FormatSheetData(pages, options));
    EXPECT_EQ(array["animations"]["run"], (nlohmann::json{"1", "0"}));
    // melonJS reads an atlas only when meta.app names it, and finds the sheet only without
    // meta.image.
    options.data.form = Form::Melonjs;
    const auto melon = nlohmann::json::parse(FormatSheetData(pages, options));
    EXPECT_EQ(melon["meta"]["app"], "Tavrin (melonJS atlas)");
    EXPECT_FALSE(melon["meta"].contains("image"));
    EXPECT_EQ(melon["frames"][1]["filename"], "run_1.png");
    EXPECT_EQ(melon["frames"][1]["frame"],
              (nlohmann::json{{"x", 4}, {"y", 0}, {"w", 4}, {"h", 3}}));
    EXPECT_FALSE(hash["meta"].contains("frameTags")) << "a tag whose frames are out of order";
    EXPECT_FALSE(hash["frames"]["a&b\n.png"].contains("duration"));

    options.data.form = Form::Xml;
    EXPECT_NE(FormatSheetData(pages, options)
                  .find("<SubTexture name=\"a&amp;b&#10;.png\" x=\"8\" y=\"0\" width=\"4\" "
                        "height=\"3\" frameX=\"-1\" frameY=\"-2\" frameWidth=\"6\" "
                        "frameHeight=\"8\" pivotX=\"3\" pivotY=\"8\"/>"),
              std::string::npos);

    options.data.form = Form::Libgdx;
    const std::string atlas = FormatSheetData(pages, options);
    EXPECT_TRUE(atlas.starts_with("s.png\nsize: 12, 3\n"));
    // Offsets count from the bottom: 8 - 2 - 3.
    EXPECT_NE(atlas.find("run\n  bounds: 4, 0, 4, 3\n  offsets: 1, 3, 6, 8\n  index: 1\n"),
              std::string::npos)
        << atlas;

    options.data.form = Form::Css;
    EXPECT_NE(FormatSheetData(pages, options)
                  .find(".run_2\\2e png {\n  display: inline-block;\n  box-sizing: content-box;\n"
                        "  width: 4px;\n  height: 3px;\n  padding: 2px 1px 3px 1px;\n"
                        "  background: url(\"s.png\") no-repeat -0px -0px;"),
              std::string::npos);
}

// Premultiplied sheets are marked only where an engine reads it, a libGDX or Spine atlas page's
// "pma", on every page; the other forms stay as they are, and CSS, which browsers draw as
// straight alpha, is refused.
TEST(SheetData, PremultipliedSheetsAreMarkedWhereTheEngineReadsIt) {
    std::vector<USheetDataPage_S> pages = {{{"a.png", 4, 3, 1.0, {}, {}}, Named({"a.png"})},
                                           {{"b.png", 4, 3, 1.0, {}, {}}, Named({"b.png"})}};
    Options options;
    for (const UDataForm_S& form : GetDataForms()) {
        options.data.form = form.form;
        options.pixels.premultiply = false;
        const std::string straight = FormatSheetData(pages, options);
        for (USheetDataPage_S& page : pages) {
            page.meta.premultiplied = true;
        }
        options.pixels.premultiply = true;
        std::string expected = straight;
        for (std::size_t at = 0; form.form == Form::Libgdx &&
                                 (at = expected.find("repeat: none\n", at)) != std::string::npos;) {
            at += std::string("repeat: none\n").size();
            expected.insert(at, "pma: true\n");
        }
        EXPECT_EQ(FormatSheetData(pages, options), expected) << form.name;
        EXPECT_EQ(NS_Data::FindConflicts(options).empty(), form.form != Form::Css) << form.name;
        for (USheetDataPage_S& page : pages) {
            page.meta.premultiplied = false;
        }
    }
}

// PixiJS and Phaser read one sheet's file at a time: an animation cut by a multipack would
// play with frames missing (Pixi's walk showed frames 1, 3, 4), so no file lists it.
TEST(SheetData, AnAnimationOverTwoSheetsIsInNeitherFile) {
    std::vector<USheetDataPage_S> pages = {
        {{"s-0.png", 12, 3, 1, {}, {}}, Named({"walk_1.png", "walk_3.png"})},
        {{"s-1.png", 12, 3, 1, {}, {}}, Named({"walk_2.png", "run_2.png", "run_1.png"})},
        {{"s-2.png", 12, 3, 1, {}, {}}, Named({"hop_1.png", "hop_2.png"})},
    };
    MarkSplitAnimations(pages);
    Options options;
    const char* kept[] = {nullptr, "run", "hop"};
    for (const Form::Form_E format : {Form::JsonHash, Form::Aseprite}) {
        options.data.form = format;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const auto data = nlohmann::json::parse(FormatSheetData({pages[p]}, options));
            const auto animations = data.value("animations", nlohmann::json::object());
            EXPECT_EQ(animations.size(), kept[p] ? 1U : 0U) << "sheet " << p;
            if (kept[p]) {
                EXPECT_TRUE(animations.contains(kept[p])) << "sheet " << p;
            }
            for (const auto& tag : data["meta"].value("frameTags", nlohmann::json::array())) {
                EXPECT_EQ(tag["name"], std::string(kept[p] ? kept[p] : "")) << "sheet " << p;
            }
        }
    }
}

// Two frames of a gif on two sheets, the first trimmed to 4x3 at (1, 2) of 6x8: each version's
// loader takes its own ids, and a frame's margin gives the picture's size back (4 + 2, 3 + 5).
TEST(SheetData, GodotResourceReadsAsEachVersionsLoaderExpects) {
    std::vector<USheetDataFrame_S> frames = Named({"hop.gif#0", "hop.gif#1"});
    frames[0].duration = 50;
    frames[1].duration = 30;
    frames[1].place = {URect_C::FromPointSize({0, 0}, {6, 8}), URect_C::FromSize({6, 8}), {6, 8}};
    const std::vector<USheetDataPage_S> pages = {{{"s-0.png", 12, 3, 1.0, {}, {}}, {frames[0]}},
                                                 {{"s-1.png", 6, 8, 1.0, {}, {}}, {frames[1]}}};
    Options options;
    options.data.form = Form::Godot;
    std::vector<std::string> warnings;
    EXPECT_EQ(FormatSheetData(pages, options, warnings),
              "[gd_resource type=\"SpriteFrames\" load_steps=5 format=3]\n\n"
              "[ext_resource type=\"Texture2D\" path=\"s-0.png\" id=\"1\"]\n"
              "[ext_resource type=\"Texture2D\" path=\"s-1.png\" id=\"2\"]\n\n"
              "[sub_resource type=\"AtlasTexture\" id=\"1\"]\nresource_name = \"hop.gif#0\"\n"
              "atlas = ExtResource(\"1\")\nregion = Rect2(0, 0, 4, 3)\n"
              "margin = Rect2(1, 2, 2, 5)\nfilter_clip = true\n\n"
              "[sub_resource type=\"AtlasTexture\" id=\"2\"]\nresource_name = \"hop.gif#1\"\n"
              "atlas = ExtResource(\"2\")\nregion = Rect2(0, 0, 6, 8)\nfilter_clip = true\n\n"
              "[resource]\nanimations = [{\n\"frames\": [{\n\"duration\": 0.5,\n"
              "\"texture\": SubResource(\"1\")\n}, {\n\"duration\": 0.3,\n"
              "\"texture\": SubResource(\"2\")\n}],\n\"loop\": true,\n\"name\": &\"hop\",\n"
              "\"speed\": 10.0\n}]\n");
    EXPECT_TRUE(warnings.empty());
    // One rate for the animation: 2 frames in 80 ms.
    options.data.form = Form::Godot3;
    EXPECT_EQ(FormatSheetData(pages, options, warnings),
              "[gd_resource type=\"SpriteFrames\" load_steps=5 format=2]\n\n"
              "[ext_resource type=\"Texture\" path=\"s-0.png\" id=1]\n"
              "[ext_resource type=\"Texture\" path=\"s-1.png\" id=2]\n\n"
              "[sub_resource type=\"AtlasTexture\" id=1]\nresource_name = \"hop.gif#0\"\n"
              "atlas = ExtResource( 1 )\nregion = Rect2( 0, 0, 4, 3 )\n"
              "margin = Rect2( 1, 2, 2, 5 )\nfilter_clip = true\n\n"
              "[sub_resource type=\"AtlasTexture\" id=2]\nresource_name = \"hop.gif#1\"\n"
              "atlas = ExtResource( 2 )\nregion = Rect2( 0, 0, 6, 8 )\nfilter_clip = true\n\n"
              "[resource]\nanimations = [{\n\"frames\": [ SubResource( 1 ), SubResource( 2 ) ],\n"
              "\"loop\": true,\n\"name\": \"hop\",\n\"speed\": 25.0\n}]\n");
    EXPECT_EQ(warnings.size(), 1U) << "Godot 3 cannot hold the gif's own durations";
}

// Names a data file may meet: each may not mean anything in the form's own syntax.
const std::vector<std::string> HostileNames =
    [](auto... names) { return std::vector<std::string>{names...}; }(
        "a:b.png", "a_b.png", "a:b.png", "bounds: 9, 9, 9, 9", "index: 7", ":", " lead.png",
        "trail.png ", "\t", "x\r\ny.png", "\u00A0nbsp.png", "wide.png\u3000", "\uFEFFbom.png",
        "walk_1.png", "walk_01.png", "walk:_2.png", "a b.png", "a-b.png", "q\"u\\o<t>e&.png",
        "c\x01.png", "c\x02.png");

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\f\v");
    return first == std::string::npos
               ? ""
               : text.substr(first, text.find_last_not_of(" \t\r\n\f\v") - first + 1);
}

// The key and value of an entry line, as libGDX's and Spine's readers split it: none without ':'.
std::optional<std::pair<std::string, std::string>> Entry(const std::string& line) {
    const std::size_t colon = line.find(':');
    if (Trim(line).empty() || colon == std::string::npos) {
        return std::nullopt;
    }
    return std::pair(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
}

// A region as the libGDX and Spine runtimes' reading loop finds it: "name#index: bounds".
std::vector<std::string> ReadAtlas(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            i += text.compare(i, 2, "\r\n") == 0 ? 1 : 0;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    std::size_t at = 0;
    // Header entries before the first page are skipped.
    while (at < lines.size() && Entry(lines[at])) {
        ++at;
    }
    std::vector<std::string> regions;
    for (bool page = false; at < lines.size();) {
        if (Trim(lines[at]).empty()) {
            page = false;
            ++at;
            continue;
        }
        std::string region = Trim(lines[at++]);
        std::string index, bounds;
        for (; at < lines.size() && Entry(lines[at]); ++at) {
            const auto [key, value] = *Entry(lines[at]);
            index = key == "index" ? value : index;
            bounds = key == "bounds" ? value : bounds;
        }
        if (page) {
            regions.push_back(region + "#" + index + ": " + bounds);
        }
        page = true;
    }
    return regions;
}

// Read by the libGDX and Spine reading loop, every frame stays a region of its own with its
// own bounds (before, 3 of 27 hostile names vanished and one region took another's bounds).
TEST(SheetData, LibgdxAtlasKeepsEveryNameARegionWithItsOwnBounds) {
    std::vector<USheetDataPage_S> pages = {
        {{"sheet: one.png", 200, 3, 1, {}, {}}, Named(HostileNames)},
        {{" two.png", 8, 3, 1, {}, {}}, Named({"z.png", "y:.png"})}};
    Options options;
    options.data.form = Form::Libgdx;
    std::vector<std::string> warnings;
    const std::vector<std::string> regions = ReadAtlas(FormatSheetData(pages, options, warnings));
    EXPECT_EQ(warnings.size(), 1U) << "one warning for every name rewritten";
    std::vector<std::string> expected;
    for (const USheetDataPage_S& page : pages) {
        for (const USheetDataFrame_S& frame : page.frames) {
            expected.push_back(std::to_string(frame.place.onSheet.left) + ", 0, 4, 3");
        }
    }
    ASSERT_EQ(regions.size(), expected.size());
    std::set<std::string> names;
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const std::size_t colon = regions[i].rfind(": ");
        EXPECT_EQ(regions[i].substr(colon + 2), expected[i]) << regions[i];
        EXPECT_TRUE(names.insert(regions[i].substr(0, colon)).second) << regions[i];
    }
    EXPECT_EQ(regions[0], "a_b.png#: 0, 0, 4, 3");
    EXPECT_EQ(regions[13], "walk#1: 52, 0, 4, 3") << "a numbered frame keeps its animation";
}

// Every quoted string of a Godot resource, its escapes decoded; "" marks a raw control character,
// which an editor's round trip would not keep.
std::vector<std::string> GodotStrings(const std::string& text, const std::string& before) {
    std::vector<std::string> strings;
    for (std::size_t at = text.find(before); at != std::string::npos;
         at = text.find(before, at + 1)) {
        std::string plain;
        for (std::size_t i = at + before.size(); text[i] != '"'; ++i) {
            const char c = text[i] == '\\' ? text[++i] : text[i];
            const bool raw = text[i - 1] != '\\';
            plain += raw && static_cast<unsigned char>(c) < 0x20 ? std::string(1, '\0')
                     : raw                                       ? std::string(1, c)
                     : c == 'n'                                  ? std::string("\n")
                     : c == 't'                                  ? std::string("\t")
                     : c == 'u'
                         ? std::string(1, char(std::stoi(text.substr(i + 1, 4), nullptr, 16)))
                         : std::string(1, c);
            i += !raw && c == 'u' ? 4 : 0;
        }
        strings.push_back(plain.find('\0') == std::string::npos ? plain : "");
    }
    return strings;
}

// Both versions read every name back as written, each frame's apart, and a still frame plays
// under its own name.
TEST(SheetData, GodotHoldsEveryNameAsWritten) {
    const std::vector<USheetDataPage_S> pages = {
        {{"we\"ird\\sheet\n.png", 200, 3, 1.0, {}, {}}, Named(HostileNames)}};
    Options options;
    for (const Form::Form_E form : {Form::Godot, Form::Godot3}) {
        options.data.form = form;
        const std::string text = FormatSheetData(pages, options);
        EXPECT_EQ(GodotStrings(text, "resource_name = \""), MakeUniqueNames(pages).front());
        EXPECT_EQ(GodotStrings(text, "path=\""), std::vector<std::string>{pages[0].meta.image});
        const std::string named = form == Form::Godot ? "\"name\": &\"" : "\"name\": \"";
        const std::vector<std::string> entries = GodotStrings(text, named);
        EXPECT_NE(std::ranges::find(entries, "c\x02.png"), entries.end()) << text;
    }
}

// The code points of UTF-8 `text` (which AsWritten made valid).
std::vector<char32_t> CodePoints(const std::string& text) {
    std::vector<char32_t> points;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
        points.push_back(code);
        at += length;
    }
    return points;
}

// XML 1.0's Char production.
bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
}

// Every name="..." value with its references decoded; empty where a character or reference is
// one XML does not allow.
std::vector<std::u32string> XmlNames(const std::string& text) {
    std::vector<std::u32string> names;
    for (std::size_t at = text.find(" name=\""); at != std::string::npos;
         at = text.find(" name=\"", at + 1)) {
        const std::size_t start = at + 7;
        std::u32string name;
        for (const char32_t c : CodePoints(text.substr(start, text.find('"', start) - start))) {
            name += c;
        }
        const std::pair<std::u32string, char32_t> references[] = {
            {U"&#9;", 9},   {U"&#10;", 10},   {U"&#13;", 13}, {U"&lt;", '<'},
            {U"&gt;", '>'}, {U"&quot;", '"'}, {U"&amp;", '&'}};
        for (const auto& [reference, code] : references) {
            for (std::size_t r = name.find(reference); r != std::u32string::npos;
                 r = name.find(reference, r + 1)) {
                name.replace(r, reference.size(), 1, code);
            }
        }
        names.push_back(std::ranges::all_of(name, IsXmlChar) ? name : U"");
    }
    return names;
}

// U+FFFE and U+FFFF made the file not well-formed, and three names differing only in a control
// character all became "c\uFFFD.png": names are made unique on the text as written.
TEST(SheetData, XmlHoldsEveryNameWellFormedAndApart) {
    std::vector<std::string> names = HostileNames;
    names.insert(names.end(), {"n\xEF\xBF\xBE.png", "n\xEF\xBF\xBF.png", "c\x03.png",
                               "c\xEF\xBF\xBD.png", "tab\there.png"});
    Options options;
    options.data.form = Form::Xml;
    const std::string xml =
        FormatSheetData({{{"s\x01.png", 8, 3, 1, {}, {}}, Named(names)}}, options);
    const std::vector<std::u32string> read = XmlNames(xml);
    ASSERT_EQ(read.size(), names.size());
    const std::set<std::u32string> apart(read.begin(), read.end());
    EXPECT_EQ(apart.size(), names.size()) << "two frames share a name";
    EXPECT_FALSE(apart.contains(U"")) << "a name XML does not allow";
    EXPECT_TRUE(apart.contains(U"tab\there.png")) << "a tab is written as a reference";
    EXPECT_TRUE(std::ranges::all_of(CodePoints(xml), IsXmlChar)) << xml;
}

// The text a CSS identifier or string stands for: each "\HEX " or "\c" escape decoded.
std::string Unescape(const std::string& text) {
    std::string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\') {
            plain += text[at];
            continue;
        }
        const std::size_t end = text.find_first_not_of("0123456789abcdef", at + 1);
        if (end == at + 1) {
            plain += text[++at];
        } else {
            plain += static_cast<char>(std::stoi(text.substr(at + 1, end - at - 1), nullptr, 16));
            at = text[end] == ' ' ? end : end - 1;
        }
    }
    return plain;
}

// A class attribute splits at spaces, so a class must hold none; and the sheet's name holding
// '"', '\' or a line break must not break the rule.
TEST(SheetData, CssClassesWorkInHtmlAndTheSheetUrlHoldsAnyName) {
    const std::string image = "we\"ird\\sheet\n.png";
    Options options;
    options.data.form = Form::Css;
    const std::string css =
        FormatSheetData({{{image, 8, 3, 1, {}, {}}, Named(HostileNames)}}, options);
    std::set<std::string> classes;
    std::size_t rules = 0;
    for (std::size_t at = css.find("\n."); at != std::string::npos; at = css.find("\n.", at + 1)) {
        const std::string name = Unescape(css.substr(at + 2, css.find(" {\n", at) - at - 2));
        EXPECT_EQ(name.find_first_of(" \t\n\f\r"), std::string::npos) << name;
        EXPECT_TRUE(classes.insert(name).second) << name;
        const std::size_t url = css.find("url(\"", at) + 5;
        const std::size_t line = css.find('\n', url);
        const std::size_t close = css.rfind("\")", line);
        const std::size_t end = close != std::string::npos && close >= url ? close : line;
        EXPECT_EQ(Unescape(css.substr(url, end - url)), image) << name;
        ++rules;
    }
    EXPECT_EQ(rules, HostileNames.size());
    EXPECT_TRUE(classes.contains("a-b.png")) << "a space becomes '-'";
    EXPECT_TRUE(classes.contains("a-b.png~2")) << "and the class stays unique";
}

}  // namespace
