#include "composition/USheetTargets_C.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"
#include "composition/USheetPlan_C.h"

using NS_Data::UComposeOptions_S;
using NS_Data::UDataOptions_S;
using NS_Data::USheetTargets_C;

namespace {

UComposeOptions_S Options(const std::string& sheet, const std::string& data,
                          UDataOptions_S::Form_E form, bool multipack) {
    UComposeOptions_S options;
    options.output = sheet;
    options.data.path = data;
    options.data.form = form;
    options.layout = NS_Data::ULayout_E::Packed;
    options.packing.multipack = multipack;
    return options;
}

}  // namespace

// The names a multipack writes, and which other names they take: numbered before the last
// extension only, one data file for the forms that hold every sheet, and the plain names stay
// reserved.
TEST(SheetTargets, AMultipackNumbersItsFilesAndKnowsThemInAnySpelling) {
    const UTempDirectory folder;
    const std::string in = folder.root;
    const USheetTargets_C numbered(
        Options(in + "a.b/s.png", in + "d.json", UDataOptions_S::JsonHash, true));
    EXPECT_EQ(numbered.GetSheetPath(12), in + "a.b/s-12.png");
    EXPECT_EQ(numbered.GetDataPath(3), in + "d-3.json");
    const USheetTargets_C noExtension(
        Options(in + "a.b/s", in + "d", UDataOptions_S::JsonHash, true));
    EXPECT_EQ(noExtension.GetSheetPath(1), in + "a.b/s-1");
    const USheetTargets_C oneFile(
        Options(in + "s.png", in + "d.json", UDataOptions_S::Phaser3, true));
    EXPECT_EQ(oneFile.GetDataPath(7), in + "d.json");

    const std::pair<std::string, bool> names[] = {
        {in + "a.b/s-0.png", true},    {in + "a.b/./s-41.png", true},   {in + "a.b/s.png", true},
        {in + "d-2.json", true},       {in + "d.json", true},           {in + "a.b/s-.png", false},
        {in + "a.b/s-1a.png", false},  {in + "a.b/s-1.png.png", false}, {in + "s-1.png", false},
        {in + "d-1.json.json", false},
    };
    for (const auto& [name, target] : names) {
        EXPECT_EQ(numbered.IsTarget(name), target) << name;
    }
}

// Two of a run's own files that would be one are found before anything is read: the data file
// on the sheet, a one-file form on a numbered sheet, numbered sheets on numbered data files.
TEST(SheetTargets, FilesOfOneRunThatWouldBeOneAreFound) {
    const UTempDirectory folder;
    const std::string in = folder.root;
    struct Case {
        std::string sheet, data;
        UDataOptions_S::Form_E form;
        bool multipack, overlap;
    };
    const Case cases[] = {
        {in + "s.png", in + "s.png", UDataOptions_S::JsonHash, false, true},
        {in + "s.png", in + "./s.png", UDataOptions_S::JsonHash, false, true},
        {in + "s.png", in + "d.json", UDataOptions_S::JsonHash, true, false},
        {in + "s.png", in + "s-0.png", UDataOptions_S::Phaser3, true, true},
        {in + "s.png", in + "s-0.png", UDataOptions_S::Phaser3, false, false},
        {in + "s.png", in + "s.png.json", UDataOptions_S::Css, true, false},
        {in + "s.png", in + "s.png", UDataOptions_S::JsonArray, true, true},
        {"-", "-", UDataOptions_S::JsonHash, false, true},
        {"-", in + "d.json", UDataOptions_S::JsonHash, false, false},
    };
    for (const Case& c : cases) {
        const USheetTargets_C targets(Options(c.sheet, c.data, c.form, c.multipack));
        EXPECT_EQ(!targets.FindOverlap().empty(), c.overlap)
            << c.sheet << " " << c.data << " " << c.multipack << ": " << targets.FindOverlap();
    }
}

// Identical pictures share one place, also when only their trimmed parts are identical; a
// picture that differs by one value, or whose kept part has another size, gets its own.
TEST(SheetPlan, IdenticalPicturesShareOnePlace) {
    const auto make = [](int32_t width, int32_t height, uint32_t corner, int32_t shift) {
        NS_Data::Picture_S picture;
        picture.pixels.SetSize({width, height});
        for (int32_t i = 0; i < width * height; ++i) {
            const int32_t x = i % width, y = i / width;
            picture.pixels.GetData()[i] =
                x >= shift && y >= shift ? 0xFF000000u | uint32_t(x - shift) << 8 | (y - shift) : 0;
        }
        picture.pixels.GetData()[width * height - 1] |= corner;
        picture.contentRect = picture.pixels.GetContentRect();
        return picture;
    };
    std::vector<NS_Data::Picture_S> owned;
    for (const auto& [width, corner, shift] :
         {std::tuple{6, 0u, 0}, {6, 0u, 0}, {8, 0u, 2}, {6, 0x10000u, 0}, {7, 0u, 0}}) {
        owned.push_back(make(width, width == 7 ? 6 : width, corner, shift));
    }
    std::vector<const NS_Data::Picture_S*> pictures;
    for (const NS_Data::Picture_S& picture : owned) {
        pictures.push_back(&picture);
    }
    for (const NS_Data::UTrim_E trim : {NS_Data::UTrim_E::None, NS_Data::UTrim_E::Each}) {
        for (const bool alias : {true, false}) {
            UComposeOptions_S options;
            options.layout = NS_Data::ULayout_E::Packed;
            options.trim = trim;
            options.packing.alias = alias;
            const NS_Data::USheetPlan_C plan = NS_Data::USheetPlan_C::Make(pictures, options);
            std::vector<int32_t> drawn;
            for (const auto& placement : plan.GetPlacements()) {
                drawn.push_back(placement.drawn);
            }
            const bool trimmed = trim == NS_Data::UTrim_E::Each;
            const std::vector<int32_t> expected =
                !alias ? std::vector<int32_t>{0, 1, 2, 3, 4}
                       : std::vector<int32_t>{0, 0, trimmed ? 0 : 2, 3, 4};
            EXPECT_EQ(drawn, expected) << "trimmed " << trimmed << ", alias " << alias;
            EXPECT_EQ(plan.GetFrames(0, pictures).size(),
                      std::set<int32_t>(drawn.begin(), drawn.end()).size());
            EXPECT_EQ(
                plan.GetPlacements()[1].frame.onSheet == plan.GetPlacements()[0].frame.onSheet,
                alias);
        }
    }
}
