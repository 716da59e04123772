#include "composition/PictureGroup_C.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"

using NS_Data::PictureGroup_C;
using NS_Data::USheetLayout_S;

namespace {

// Column 0 is transparent, with colour left in the transparent values.
const UPicture_S pictureA = {3, 2, {0x00ABCDEF, 0x80112233, 0xFF445566, 0, 0x01000000, 0x7F102030}};
// Visible only at (1, 1) and (2, 2).
const UPicture_S pictureB = {4, 3, {0, 0, 0, 0, 0x00123456, 0xFF0000FF, 0, 0, 0, 0, 0x40FFFF00, 0}};
const UPicture_S pictureC = {2, 2, std::vector<uint32_t>(4, 0x00FFFFFF)};

class PictureGroupCompose : public testing::Test {
protected:
    void Add(const std::vector<const UPicture_S*>& pictures) {
        for (const UPicture_S* picture : pictures) {
            const std::string path = folder.root + "in" + std::to_string(added++) + ".png";
            SavePicture(*picture, path);
            group.AddPicture(path.c_str());
        }
    }

    // Composes into a file and reads the sheet back.
    UPicture_S Compose(int mode, bool autoCut) {
        group.Compose(sheet.c_str(), 0, mode, autoCut);
        return LoadPicture(sheet);
    }

    UTempDirectory folder;
    const std::string sheet = folder.root + "sheet.png";
    PictureGroup_C group;
    int added = 0;
};

}  // namespace

TEST_F(PictureGroupCompose, EmptyAndTooLargeSheetsAreRefusedBeforeAnythingIsWritten) {
    const std::string empty = "PictureGroup_C 2 无法生成有效图片,有可能因为图片上全是透明色.|";
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(FailureOf([&] { Compose(mode, false); }), empty) << "mode " << mode;
    }
    Add({&pictureC, &pictureC});
    EXPECT_EQ(FailureOf([&] { Compose(PictureGroup_C::Horizontal, true); }), empty);
    EXPECT_FALSE(Exists(sheet));
    EXPECT_EQ(Compose(PictureGroup_C::Horizontal, false).pixels, std::vector<uint32_t>(8, 0));

    group.Clear();
    const UPicture_S wide = {70000, 1, std::vector<uint32_t>(70000, 0xFF000000)};
    const UPicture_S tall = {1, 70000, wide.pixels};
    Add({&wide, &tall});
    for (const auto& [mode, size] : {std::pair{0, "140000 x 70000"}, {1, "70000 x 140000"}}) {
        EXPECT_EQ(FailureOf([&] { group.Compose(sheet.c_str(), 0, mode, false); }),
                  std::string("PictureGroup_C 4 The sheet is too large to compose:|") + size);
    }
    EXPECT_EQ(LoadPicture(sheet).pixels, std::vector<uint32_t>(8, 0)) << "the old sheet changed";
    // A border alone is no sheet.
    const USheetLayout_S border = USheetLayout_S::Plan({URect_C{}}, 0, {0, 5, 0, 0, false});
    EXPECT_EQ(CodeOf([&] { PictureGroup_C::CheckSheet(border); }), 2);
}

TEST_F(PictureGroupCompose, FailuresAreRaisedAndTheGroupCanBeReused) {
    EXPECT_EQ(CodeOf([&] { group.AddPicture((folder.root + "missing.png").c_str()); }), 1);
    EXPECT_EQ(group.GetCount(), 0) << "a picture that failed to load must not stay in the group";
    Add({&pictureA});
    const std::string unwritable = folder.root + "no-such-folder/sheet.png";
    EXPECT_EQ(CodeOf([&] { group.Compose(unwritable.c_str(), 0, 0, false); }), 4);
    group.Clear();
    Add({&pictureB});
    EXPECT_EQ(FirstDifference(Compose(PictureGroup_C::Vertical, true),
                              {2, 2, {0xFF0000FF, 0, 0, 0x40FFFF00}}),
              "");
}

TEST(SheetLayout, GridIsNearestToSquareAndPrefersMoreColumns) {
    // Cell width and height and the count of cells; the columns and rows expected.
    const int64_t cases[][5] = {
        {10, 10, 0, 0, 0},       {10, 10, 1, 1, 1},
        {10, 10, 2, 2, 1},  // 2 and 1 columns are equally near: the larger wins
        {10, 10, 3, 2, 2},  // one free cell
        {10, 10, 5, 3, 2},  // 3 and 2 columns are equally near
        {20, 10, 4, 2, 2},       {10, 30, 4, 4, 1},
        {70000, 70000, 3, 2, 2},  // no 32-bit products in the search
    };
    for (const auto& [width, height, count, columns, rows] : cases) {
        const URect_C cell{0, 0, int32_t(width - 1), int32_t(height - 1)};
        const USheetLayout_S grid = USheetLayout_S::SearchGrid(cell, count);
        EXPECT_EQ(std::pair(grid.columns, grid.rows), std::pair(columns, rows))
            << "cells of " << width << " x " << height << ", n = " << count;
    }
}

// From the headers alone: the sheet of the pictures' whole areas must fit the sheet limit, and
// the pictures held as ARGB with either those still decoding (12 bytes a pixel at worst) or the
// sheet must fit the memory available.
TEST(PictureGroupBatch, BatchesBeyondTheSheetLimitOrTheAvailableMemoryAreRefused) {
    const auto check = [](const std::vector<USize_C>& sizes, int mode, uint64_t available) {
        return FailureOf([&] { PictureGroup_C::CheckBatch(sizes, mode, {}, available); });
    };
    const uint64_t plenty = uint64_t{1} << 40;
    const std::vector<USize_C> crossed = {USize_C(30000, 1), USize_C(1, 30000)};
    for (const auto& [mode, sheet] :
         {std::pair{0, "60000 x 30000"}, {1, "30000 x 60000"}, {2, "60000 x 30000"}}) {
        EXPECT_EQ(check(crossed, mode, plenty),
                  std::string("PictureGroup_C 4 The sheet is too large to compose:|") + sheet);
    }
    // 100 pictures of 1000 x 1000 in a row: 400 MB of pictures and 400 MB of sheet, more than
    // any number of pictures decoding at once.
    const std::vector<USize_C> hundred(100, USize_C(1000, 1000));
    EXPECT_EQ(check(hundred, PictureGroup_C::Horizontal, 800000000), "");
    EXPECT_EQ(check(hundred, PictureGroup_C::Horizontal, 799999999),
              "PictureGroup_C 5 Not enough memory to compose the sheet:|100000 x 1000 from 100 "
              "pictures needs 763 MiB, 762 MiB available");
    // One picture: decoding it, at 12 bytes a pixel besides its 4, outweighs the sheet.
    const std::vector<USize_C> one = {USize_C(10000, 10000)};
    EXPECT_EQ(check(one, PictureGroup_C::Horizontal, 1600000000), "");
    EXPECT_NE(check(one, PictureGroup_C::Horizontal, 1599999999), "");
}

// Five 10 x 10 pictures: the sheet's size and where cells 1 and 4 start, for each option.
TEST(SheetLayout, SpacingSizesTheSheetAndTheGridIsChosenOnCells) {
    struct Case {
        const char* what;
        int mode;
        NS_Data::USheetOptions_S options;
        int64_t width, height;
        UPoint_C second, fifth;
    };
    const Case cases[] = {
        {"grid", 2, {}, 30, 20, {10, 0}, {10, 10}},
        {"grid, padding 7", 2, {7, 0, 0, 0, false}, 44, 27, {17, 0}, {17, 17}},
        {"row, border 3", 0, {0, 3, 0, 0, false}, 56, 16, {13, 3}, {43, 3}},
        {"column, extrude 2", 1, {0, 0, 2, 0, false}, 14, 70, {2, 16}, {2, 58}},
        {"all of them", 0, {1, 2, 3, 0, false}, 88, 20, {22, 5}, {73, 5}},
        {"4 columns, whatever the mode", 1, {0, 0, 0, 4, false}, 40, 20, {10, 0}, {0, 10}},
        {"9 columns", 2, {0, 0, 0, 9, false}, 90, 10, {10, 0}, {40, 0}},
        {"powers of two", 0, {1, 0, 0, 0, true}, 64, 16, {11, 0}, {44, 0}},
    };
    const std::vector<URect_C> areas(5, URect_C::FromSize({10, 10}));
    for (const Case& c : cases) {
        const USheetLayout_S layout = USheetLayout_S::Plan(areas, c.mode, c.options);
        EXPECT_EQ(std::pair(layout.GetWidth(), layout.GetHeight()), std::pair(c.width, c.height))
            << c.what;
        EXPECT_EQ(layout.GetCellOrigin(1), c.second) << c.what << ": second cell";
        EXPECT_EQ(layout.GetCellOrigin(4), c.fifth) << c.what << ": fifth cell";
    }
    // Four cells of 10 x 17 go 3 x 2; with the padding counted, 2 x 2 would be nearer to
    // square.
    const std::vector<URect_C> tall(4, URect_C::FromSize({10, 17}));
    EXPECT_EQ(USheetLayout_S::Plan(tall, 2, {20, 0, 0, 0, false}).columns, 3);
}
