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

// The visible picture pixel that falls on sheet pixel (x, y), or 0.
uint32_t ExpectedAt(const std::vector<const UPicture_S*>& pictures, const URect_C& cell,
                    int64_t columns, int32_t x, int32_t y) {
    const std::size_t index = (y / cell.GetHeight()) * columns + x / cell.GetWidth();
    const int32_t px = x % cell.GetWidth() + cell.left;
    const int32_t py = y % cell.GetHeight() + cell.top;
    if (index >= pictures.size() || px >= pictures[index]->width || py >= pictures[index]->height) {
        return 0;
    }
    const uint32_t value = pictures[index]->pixels[py * pictures[index]->width + px];
    return (value >> 24) == 0 ? 0 : value;
}

}  // namespace

TEST_F(PictureGroupCompose, EveryLayoutPlacesPicturesCellByCell) {
    struct Case {
        int mode;
        bool autoCut;
        URect_C cell;
        int64_t columns;
        int32_t sheetWidth, sheetHeight;
    };
    const std::vector<Case> cases = {
        {PictureGroup_C::Horizontal, false, {0, 0, 3, 2}, 3, 12, 3},
        {PictureGroup_C::Vertical, false, {0, 0, 3, 2}, 1, 4, 9},
        {PictureGroup_C::MultiRow, false, {0, 0, 3, 2}, 2, 8, 6},
        {7, false, {0, 0, 3, 2}, 2, 8, 6},  // unknown modes compose as MultiRow
        {PictureGroup_C::Horizontal, true, {1, 0, 2, 2}, 3, 6, 3},
        {PictureGroup_C::Vertical, true, {1, 0, 2, 2}, 1, 2, 9},
        {PictureGroup_C::MultiRow, true, {1, 0, 2, 2}, 2, 4, 6},
    };
    const std::vector<const UPicture_S*> pictures = {&pictureA, &pictureB, &pictureC};
    Add(pictures);
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.autoCut ? ", trimmed" : ""));
        EXPECT_EQ(group.ComputeMultiRow(c.autoCut).cell, c.cell);
        UPicture_S expected{c.sheetWidth, c.sheetHeight, {}};
        for (int32_t i = 0; i < c.sheetWidth * c.sheetHeight; ++i) {
            expected.pixels.push_back(
                ExpectedAt(pictures, c.cell, c.columns, i % c.sheetWidth, i / c.sheetWidth));
        }
        EXPECT_EQ(FirstDifference(Compose(c.mode, c.autoCut), expected), "");
    }
}

// Too large sheets are refused from the pictures' sizes alone: see PictureGroupBatch.
TEST_F(PictureGroupCompose, EmptySheetsAreRefusedBeforeAnythingIsWritten) {
    const std::string empty = "PictureGroup_C 2 无法生成有效图片,有可能因为图片上全是透明色.|";
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(FailureOf([&] { Compose(mode, false); }), empty) << "mode " << mode;
    }
    Add({&pictureC, &pictureC});
    EXPECT_EQ(FailureOf([&] { Compose(PictureGroup_C::Horizontal, true); }), empty);
    EXPECT_FALSE(Exists(sheet));
    EXPECT_EQ(Compose(PictureGroup_C::Horizontal, false).pixels, std::vector<uint32_t>(8, 0));
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

TEST(PictureGroupLayout, GridIsNearestToSquareAndPrefersMoreColumns) {
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
        const USheetLayout_S grid = PictureGroup_C::SearchGrid(cell, int32_t(count));
        EXPECT_EQ(std::pair(grid.columns, grid.rows), std::pair(columns, rows))
            << "cells of " << width << " x " << height << ", n = " << count;
    }
}

// From the headers alone: the sheet of the pictures' whole areas must fit the sheet limit, and
// the pictures held as ARGB, with either the largest one loading (12 bytes a pixel at worst) or
// the sheet and its copy, must fit the memory available.
TEST(PictureGroupBatch, BatchesBeyondTheSheetLimitOrTheAvailableMemoryAreRefused) {
    const PictureGroup_C group;
    const uint64_t plenty = uint64_t{1} << 40;
    const std::vector<USize_C> crossed = {USize_C(30000, 1), USize_C(1, 30000)};
    for (const auto& [mode, sheet] :
         {std::pair{0, "60000 x 30000"}, {1, "30000 x 60000"}, {2, "60000 x 30000"}}) {
        EXPECT_EQ(FailureOf([&] { group.CheckBatch(crossed, mode, plenty); }),
                  std::string("PictureGroup_C 4 The sheet is too large to compose:|") + sheet);
    }
    // 8000 x 24000: 4 x 192M bytes for the pictures and 8 x 192M for the sheet and its copy.
    const std::vector<USize_C> three(3, USize_C(8000, 8000));
    EXPECT_EQ(FailureOf([&] { group.CheckBatch(three, PictureGroup_C::Vertical, 2304000000); }),
              "");
    EXPECT_EQ(
        FailureOf([&] { group.CheckBatch(three, PictureGroup_C::Vertical, uint64_t{2} << 30); }),
        "PictureGroup_C 5 Not enough memory to compose the sheet:|8000 x 24000 from 3 "
        "pictures needs 2198 MiB, 2048 MiB available");
    // One picture: loading it, at 12 bytes a pixel besides its 4, outweighs the sheet.
    const std::vector<USize_C> one = {USize_C(10000, 10000)};
    EXPECT_EQ(FailureOf([&] { group.CheckBatch(one, PictureGroup_C::Horizontal, 1600000000); }),
              "");
    EXPECT_EQ(CodeOf([&] { group.CheckBatch(one, PictureGroup_C::Horizontal, 1599999999); }), 5);
}
