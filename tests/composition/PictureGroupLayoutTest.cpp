#include "PictureGroup_C.h"

#include <gtest/gtest.h>

#include <tuple>
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
        const auto grid =
            PictureGroup_C::SearchGrid(URect_C{0, 0, c.cellWidth - 1, c.cellHeight - 1}, c.count);
        EXPECT_EQ(std::tuple(grid.columns, grid.rows, grid.GetWidth(), grid.GetHeight()),
                  std::tuple(c.columns, c.rows, c.sheetWidth, c.sheetHeight))
            << "cells of " << c.cellWidth << " x " << c.cellHeight << ", n = " << c.count;
    }
}

TEST(PictureGroupLayout, PictureFilesAreKnownByTheirLastExtension) {
    for (const char* path :
         {"/pics/a.png", "/pics/B.PNG", "frame.Bmp", "/x/archive.tar.gif", "photo.jpg"}) {
        EXPECT_TRUE(PictureGroup_C::IsPictureFile(path)) << path;
    }
    for (const char* path : {"photo.jpeg", "/pics/d.gif/name", "/pics/name.", "/pics.png/",
                             "/pics/png", "/pics/a.png.txt", ""}) {
        EXPECT_FALSE(PictureGroup_C::IsPictureFile(path)) << path;
    }
    EXPECT_FALSE(PictureGroup_C::IsPictureFile(nullptr));
}
