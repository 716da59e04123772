#include "PictureGroup_C.h"

#include <gtest/gtest.h>

#include <vector>

using NS_Data::PictureGroup_C;

TEST(PictureGroupLayout, GridIsNearestToSquareAndPrefersMoreColumns) {
    struct Case {
        int32_t cellWidth, cellHeight, count;
        int64_t columns, rows, sheetWidth, sheetHeight;
    };
    const std::vector<Case> cases = {
        {10, 10, 0, 0, 0, 0, 0},
        {10, 10, 1, 1, 1, 10, 10},
        {10, 10, 2, 2, 1, 20, 10},  // 2 and 1 columns are equally near: the larger wins
        {10, 10, 3, 2, 2, 20, 20},  // one free cell
        {10, 10, 5, 3, 2, 30, 20},  // 3 and 2 columns are equally near
        {20, 10, 4, 2, 2, 40, 20},
        {10, 30, 4, 4, 1, 40, 30},
        {70000, 70000, 3, 2, 2, 140000, 140000},  // no 32-bit products in the search
    };
    for (const Case& c : cases) {
        const auto layout =
            PictureGroup_C::SearchGrid(URect_C{0, 0, c.cellWidth - 1, c.cellHeight - 1}, c.count);
        EXPECT_EQ(layout.columns, c.columns)
            << c.cellWidth << " x " << c.cellHeight << ", n = " << c.count;
        EXPECT_EQ(layout.rows, c.rows)
            << c.cellWidth << " x " << c.cellHeight << ", n = " << c.count;
        EXPECT_EQ(layout.GetWidth(), c.sheetWidth) << "n = " << c.count;
        EXPECT_EQ(layout.GetHeight(), c.sheetHeight) << "n = " << c.count;
    }
}

TEST(PictureGroupLayout, PictureFilesAreKnownByTheirLastExtension) {
    struct Case {
        const char* path;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"/pics/a.png", true},
        {"/pics/B.PNG", true},
        {"frame.Bmp", true},
        {"/x/archive.tar.gif", true},
        {"photo.jpg", true},
        {"photo.jpeg", false},
        {"/pics/d.gif/name", false},
        {"/pics/name.", false},
        {"/pics.png/", false},
        {"/pics/png", false},
        {"/pics/a.png.txt", false},
        {"", false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PictureGroup_C::IsPictureFile(c.path), c.accepted)
            << (c.path ? c.path : "(null)");
    }
}
