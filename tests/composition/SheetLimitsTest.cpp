#include "composition/USheetLimits_C.h"

#include "composition/USheetPlan_C.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "GifFiles.h"
#include "PictureFiles.h"
#include "TestSupport.h"

using NS_Data::Picture_S;
using NS_Data::USheetLayout_S;
using NS_Data::USheetLimits_C;

// A batch that passed the header check can still make no sheet (nothing left by the common
// cut) or one too large once decoded: the plan refuses it before anything is drawn.
TEST(SheetPlan, EmptyAndTooLargeSheetsAreRefused) {
    const auto plan = [](const std::vector<UPicture_S>& made, int mode, bool autoCut) {
        std::vector<Picture_S> owned(made.size());
        std::vector<const Picture_S*> pictures;
        for (std::size_t i = 0; i < made.size(); ++i) {
            owned[i].pixels.SetSize({made[i].width, made[i].height});
            std::copy(made[i].pixels.begin(), made[i].pixels.end(), owned[i].pixels.GetData());
            owned[i].contentRect = owned[i].pixels.GetContentRect();
            pictures.push_back(&owned[i]);
        }
        NS_Data::UComposeOptions_S options;
        options.layout = NS_Data::LayoutFromComposeMode(mode);
        options.trim = autoCut ? NS_Data::UTrim_E::Common : NS_Data::UTrim_E::None;
        return FailureOf([&] { NS_Data::USheetPlan_C::Make(pictures, options); });
    };
    const std::string empty = "USheetLimits_C 2 无法生成有效图片,有可能因为图片上全是透明色.|";
    EXPECT_EQ(plan({}, 2, false), empty) << "no pictures";
    const UPicture_S clear{2, 2, std::vector<uint32_t>(4, 0x00FFFFFF)};
    EXPECT_EQ(plan({clear}, 0, true), empty) << "nothing left by the trim";
    EXPECT_EQ(plan({clear}, 0, false), "");

    const std::vector<UPicture_S> long_ = {{70000, 1, std::vector<uint32_t>(70000, 0xFF000000)},
                                           {1, 70000, std::vector<uint32_t>(70000, 0xFF000000)}};
    // Cells as large as the largest picture: packing is the way out.
    for (const auto& [mode, size] : {std::pair{0, "140000 x 70000"}, {1, "70000 x 140000"}}) {
        EXPECT_EQ(plan(long_, mode, false),
                  std::string("USheetLimits_C 4 The sheet is too large to compose:|") + size +
                      "; --layout packed packs pictures of different sizes tightly");
    }
}

// A picture that alone passes the largest sheet is named, with the limit, before any packing,
// multipack or not; a set that only one sheet cannot hold is code 7, and never with multipack.
TEST(SheetPlan, APictureLargerThanAnySheetIsNamedWithItsLimit) {
    struct Case {
        std::vector<USize_C> sizes;
        NS_Data::USheetOptions_S sheet;  // padding, border, extrude, columns, pot, maxSize
        bool multipack;
        std::string error;
    };
    const std::string large = "USheetLimits_C 8 A picture is larger than the largest sheet:|";
    const std::string unfitting =
        "USheetLimits_C 7 The pictures do not fit one sheet (--multipack spreads them over "
        "several):|3 pictures of 300 pixels in all, limit 16 x 16";
    const std::vector<Case> cases = {
        {{{4, 4}, {20, 10}}, {0, 0, 0, 0, false, 16}, true, large + "b is 20 x 10; limit 16 x 16"},
        {{{10, 10}}, {0, 1, 1, 0, false, 14}, true, ""},
        {{{10, 10}},
         {5, 2, 2, 0, false, 17},
         false,
         large + "a is 10 x 10, 18 x 18 with its extrusion and the border; limit 17 x 17"},
        {{{10, 10}},
         {0, 0, 4, 0, true, 20},
         true,
         large + "a is 10 x 10, 18 x 18 with its extrusion and the border; limit 16 x 16"},
        {{{10, 10}}, {0, 0, 4, 0, false, 20}, false, ""},
        {{{10, 10}}, {0, 0, 0, 0, false, 0}, true, ""},
        {{{10, 10}, {10, 10}, {10, 10}}, {0, 0, 0, 0, false, 16}, false, unfitting},
        {{{10, 10}, {10, 10}, {10, 10}}, {0, 0, 0, 0, false, 16}, true, ""},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        std::vector<Picture_S> owned(c.sizes.size());
        std::vector<const Picture_S*> pictures;
        for (std::size_t i = 0; i < owned.size(); ++i) {
            owned[i].pixels.SetSize(c.sizes[i]);
            std::fill_n(owned[i].pixels.GetData(), c.sizes[i].GetWidth() * c.sizes[i].GetHeight(),
                        0xFF000000u | uint32_t(i));
            owned[i].contentRect = owned[i].pixels.GetContentRect();
            pictures.push_back(&owned[i]);
        }
        NS_Data::UComposeOptions_S options;
        options.layout = NS_Data::ULayout_E::Packed;
        options.sheet = c.sheet;
        options.packing.multipack = c.multipack;
        const std::vector<std::string> names = {"a", "b", "c"};
        EXPECT_EQ(FailureOf([&] { NS_Data::USheetPlan_C::Make(pictures, options, &names); }),
                  c.error)
            << "case " << k;
    }
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
    // Four cells of 10 x 17 go 3 x 2; with the padding counted, 2 x 2 would be nearer to
    // square.
    const std::vector<URect_C> tall(4, URect_C::FromSize({10, 17}));
    EXPECT_EQ(USheetLayout_S::Plan(tall, NS_Data::ULayout_E::Grid, {20, 0, 0, 0, false, 0}).columns,
              3);
}

// From the headers alone: the sheet of the pictures' whole areas must fit the sheet limit, and
// the pictures held as ARGB with either those still decoding (12 bytes a pixel at worst) or the
// sheet must fit the memory available. A packed sheet is no larger than its pictures side by side,
// whatever --max-size allows.
TEST(SheetLimits, BatchesBeyondTheSheetLimitOrTheAvailableMemoryAreRefused) {
    const auto check = [](const std::vector<USize_C>& sizes, int mode, uint64_t available,
                          const char* output = "s.png", int64_t maxSize = 0, bool bleed = false) {
        NS_Data::UComposeOptions_S options;
        options.layout =
            mode < 0 ? NS_Data::ULayout_E::Packed : NS_Data::LayoutFromComposeMode(mode);
        options.output = output;
        options.sheet.maxSize = maxSize;
        options.pixels.alphaBleed = bleed;
        return FailureOf([&] { USheetLimits_C::CheckBatch(sizes, options, available); });
    };
    const uint64_t plenty = uint64_t{1} << 40;
    const std::vector<USize_C> crossed = {USize_C(30000, 1), USize_C(1, 30000)};
    for (const auto& [mode, sheet] :
         {std::pair{0, "60000 x 30000"}, {1, "30000 x 60000"}, {2, "60000 x 30000"}}) {
        EXPECT_EQ(check(crossed, mode, plenty),
                  std::string("USheetLimits_C 4 The sheet is too large to compose:|") + sheet +
                      "; --layout packed packs pictures of different sizes tightly");
    }
    // 100 pictures of 1000 x 1000 in a row: 400 MB of pictures, and no sheet held, only what
    // at most eight threads decode or encode at once.
    const std::vector<USize_C> hundred(100, USize_C(1000, 1000));
    EXPECT_EQ(check(hundred, 0, 400000000 + 8 * 12000000), "");
    // Bleeding holds every cell besides while the sheet is written.
    EXPECT_NE(check(hundred, 0, 400000000 + 8 * 12000000, "s.png", 0, true), "");
    EXPECT_EQ(check(hundred, 0, 800000000 + 8 * 12000000, "s.png", 0, true), "");
    EXPECT_EQ(check(hundred, 0, 400000000).substr(0, 88),
              "USheetLimits_C 5 Not enough memory to compose the sheet:|100000 x 1000 from 100 "
              "pictures");
    // A WebP sheet is held whole, with libwebp's work on it: 39 bytes a pixel, packed or not.
    for (const int mode : {0, -1}) {
        EXPECT_NE(check(hundred, mode, 4299999999, "s.webp"), "") << mode;
        EXPECT_EQ(check(hundred, mode, 4300000000, "s.webp"), "") << mode;
    }
    // Two single pixels packed need little, however large a sheet the options allow.
    const std::vector<USize_C> dots(2, USize_C(1, 1));
    EXPECT_EQ(check(dots, -1, uint64_t{64} << 20, "s.png", 1000000000), "");
    EXPECT_EQ(check(dots, -1, uint64_t{64} << 20, "s.webp", 1000000000), "");
    // One picture: decoding takes 12 bytes a pixel besides its 4.
    const std::vector<USize_C> one = {USize_C(10000, 10000)};
    EXPECT_EQ(check(one, 0, 1600000000), "");
    EXPECT_NE(check(one, 0, 1599999999), "");
}

// An address space limit (ulimit -v) is memory this process cannot have, whatever the kernel
// has free: a 4096 x 4096 WebP sheet needs about 700 MiB, and with 512 MiB of address space
// left it is refused from the header.
TEST(SheetLimits, AnAddressSpaceLimitCountsAsMemory) {
    const UTempDirectory folder;
    const std::string path = folder.root + "large.gif";
    WriteFile(path, MakeGif(4096, 4096, {{0, 0, 1, 1, {Red}}}));
    NS_Data::UComposeOptions_S options;
    options.output = "s.webp";
    ASSERT_EQ(
        FailureOf([&] { const auto claim = USheetLimits_C::CheckBatchFiles({path}, options); }),
        "");
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &before), 0);
    const Bytes bytes = ReadFile("/proc/self/status");
    const std::string status(bytes.begin(), bytes.end());
    const uint64_t mapped = std::stoull(status.substr(status.find("VmSize:") + 7)) << 10;
    rlimit limited = before;
    limited.rlim_cur = std::min<rlim_t>(before.rlim_cur, mapped + (uint64_t{512} << 20));
    ASSERT_EQ(setrlimit(RLIMIT_AS, &limited), 0);
    const uint64_t available = USheetLimits_C::AvailableMemory();
    const std::string failure =
        FailureOf([&] { const auto claim = USheetLimits_C::CheckBatchFiles({path}, options); });
    setrlimit(RLIMIT_AS, &before);
    EXPECT_LE(available, uint64_t{512} << 20);
    EXPECT_EQ(failure.substr(0, 57), "USheetLimits_C 5 Not enough memory to compose the sheet:|");
}

// Every frame of a gif becomes a cell of its screen's size: 40 one-pixel frames on a screen of
// 4096 x 4096 make a sheet of 671 million pixels, which the batch check refuses from the file's
// 1 kB before any frame is decoded.
TEST(SheetLimits, EachFrameOfAGifCountsAsAPictureWhenAllAreComposed) {
    const UTempDirectory folder;
    const std::string path = folder.root + "frames.gif";
    WriteFile(path, MakeGif(4096, 4096, std::vector<UGifFrame_S>(40, {0, 0, 1, 1, {Red}})));
    const auto check = [&](bool allFrames) {
        NS_Data::UComposeOptions_S options;
        options.allGifFrames = allFrames;
        return FailureOf(
            [&] { const auto claim = USheetLimits_C::CheckBatchFiles({path}, options); });
    };
    EXPECT_EQ(check(false), "");
    EXPECT_EQ(check(true).substr(0, 65),
              "USheetLimits_C 4 The sheet is too large to compose:|4096 x 163840");
}

// Batches composed side by side claim what they need: a batch short only of what another has
// claimed waits for it to end instead of failing, and one that cannot fit alone fails at once.
TEST(SheetLimits, ABatchBesideAnotherWaitsForItsMemoryRatherThanFail) {
    const auto available = [] { return uint64_t{100}; };
    NS_Data::UMemoryClaim_C tooLarge;
    EXPECT_FALSE(NS_Data::UMemoryClaim_C::Claim(101, available, tooLarge));
    auto first = std::make_unique<NS_Data::UMemoryClaim_C>();
    ASSERT_TRUE(NS_Data::UMemoryClaim_C::Claim(60, available, *first));
    std::atomic<bool> claimed{false};
    std::thread second([&] {
        NS_Data::UMemoryClaim_C claim;
        claimed = NS_Data::UMemoryClaim_C::Claim(60, available, claim);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(claimed) << "only 40 bytes are left beside the first";
    first.reset();
    second.join();
    EXPECT_TRUE(claimed);
}
