#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "composition/Animations.h"
#include "composition/SheetData.h"

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

}  // namespace

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
        {{"s.png", 12, 3, {}, {}}, Named({"run_2.png", "run_1.png", "a&b\n.png"})}};

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
    EXPECT_FALSE(hash["meta"].contains("frameTags")) << "a tag whose frames are out of order";
    EXPECT_FALSE(hash["frames"]["a&b\n.png"].contains("duration"));

    options.data.form = Form::Xml;
    EXPECT_NE(FormatSheetData(pages, options)
                  .find("<SubTexture name=\"a&amp;b\xEF\xBF\xBD.png\" x=\"8\" y=\"0\" width=\"4\" "
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

// PixiJS and Phaser read one sheet's file at a time: an animation cut by a multipack would
// play with frames missing (Pixi's walk showed frames 1, 3, 4), so no file lists it.
TEST(SheetData, AnAnimationOverTwoSheetsIsInNeitherFile) {
    std::vector<USheetDataPage_S> pages = {
        {{"s-0.png", 12, 3, {}, {}}, Named({"walk_1.png", "walk_3.png"})},
        {{"s-1.png", 12, 3, {}, {}}, Named({"walk_2.png", "run_2.png", "run_1.png"})},
        {{"s-2.png", 12, 3, {}, {}}, Named({"hop_1.png", "hop_2.png"})},
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
