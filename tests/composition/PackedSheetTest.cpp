#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "PictureFiles.h"
#include "composition/UMaxRectsPacker_C.h"
#include "composition/USheetRows_C.h"

using NS_Data::UMaxRectsPacker_C;
using NS_Data::UPackedFrame_S;
using NS_Data::UPackResult_S;
using NS_Data::USheetRows_C;

namespace {

// The packer's options as one table row: padding, border, extrude, power of two, square, rotate,
// multipack, largest side.
struct UPackOptions_S {
    int32_t padding = 0;
    int32_t border = 0;
    int32_t extrude = 0;
    bool powerOfTwo = false;
    bool square = false;
    bool rotate = false;
    bool multipack = false;
    int32_t maxSide = 0;
};

UMaxRectsPacker_C Packer(const UPackOptions_S& o, unsigned threads = GetWorkerThreads()) {
    return UMaxRectsPacker_C({o.padding, o.border, o.extrude, 0, o.powerOfTwo, o.maxSide},
                             {o.rotate, o.square, o.multipack, true}, threads);
}

uint32_t Next(uint64_t& state) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(state >> 33);
}

std::vector<USize_C> Mixed(int32_t count, int32_t largest, uint64_t seed) {
    std::vector<USize_C> sizes;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t w = 1 + int32_t(Next(seed) % uint32_t(largest));
        sizes.emplace_back(w, 1 + int32_t(Next(seed) % uint32_t(largest)));
    }
    return sizes;
}

// Long thin strips, lying and standing by turns.
std::vector<USize_C> Strips(int32_t count, int32_t longest, int32_t thin, uint64_t seed) {
    std::vector<USize_C> sizes;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t length = 1 + int32_t(Next(seed) % uint32_t(longest));
        const int32_t width = 1 + int32_t(Next(seed) % uint32_t(thin));
        sizes.push_back(i % 2 ? USize_C(width, length) : USize_C(length, width));
    }
    return sizes;
}

bool IsPowerOfTwo(int32_t side) {
    return side > 0 && (side & (side - 1)) == 0;
}

// Every frame's box (the frame, its extrusion, and the padding after it) inside its sheet's
// border, no two boxes on one sheet overlapping, and every sheet as the options require.
void CheckPlaces(const std::vector<USize_C>& sizes, const UPackOptions_S& o,
                 const UPackResult_S& result) {
    ASSERT_TRUE(result.fits);
    ASSERT_EQ(result.places.size(), sizes.size());
    ASSERT_TRUE(o.multipack || result.sheets.size() == 1u);
    const int32_t limit = o.maxSide > 0 ? o.maxSide : UMaxRectsPacker_C::DefaultMaxSide;
    for (const USize_C& sheet : result.sheets) {
        EXPECT_LE(std::max(sheet.GetWidth(), sheet.GetHeight()), limit);
        EXPECT_TRUE(!o.powerOfTwo ||
                    (IsPowerOfTwo(sheet.GetWidth()) && IsPowerOfTwo(sheet.GetHeight())));
        EXPECT_TRUE(!o.square || sheet.GetWidth() == sheet.GetHeight());
    }
    std::vector<std::vector<URect_C>> boxes(result.sheets.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const UPackResult_S::UPlace_S& p = result.places[i];
        ASSERT_TRUE(p.sheet >= 0 && std::size_t(p.sheet) < result.sheets.size()) << i;
        ASSERT_TRUE(o.rotate || !p.rotated) << i;
        const USize_C s = sizes[i];
        const int32_t w = p.rotated ? s.GetHeight() : s.GetWidth();
        const int32_t h = p.rotated ? s.GetWidth() : s.GetHeight();
        const URect_C box{p.x - o.extrude, p.y - o.extrude, p.x + w + o.extrude - 1,
                          p.y + h + o.extrude - 1};
        const USize_C sheet = result.sheets[std::size_t(p.sheet)];
        EXPECT_TRUE(box.left >= o.border && box.top >= o.border &&
                    box.right < sheet.GetWidth() - o.border &&
                    box.bottom < sheet.GetHeight() - o.border)
            << "rectangle " << i << " leaves its sheet";
        boxes[std::size_t(p.sheet)].push_back(
            {box.left, box.top, box.right + o.padding, box.bottom + o.padding});
    }
    for (const std::vector<URect_C>& onSheet : boxes) {
        ASSERT_FALSE(onSheet.empty());
        for (std::size_t a = 0; a < onSheet.size(); ++a) {
            for (std::size_t b = a + 1; b < onSheet.size(); ++b) {
                ASSERT_FALSE(onSheet[a].Intersects(onSheet[b])) << "boxes " << a << ", " << b;
            }
        }
    }
}

int64_t SheetArea(const UPackResult_S& result) {
    int64_t area = 0;
    for (const USize_C& sheet : result.sheets) {
        area += int64_t{sheet.GetWidth()} * sheet.GetHeight();
    }
    return area;
}

}  // namespace

// Each spacing and shape option on sets of several kinds: the placements are valid, the same on
// one thread and on several, and rotation never makes a sheet larger.
TEST(UMaxRectsPacker, PlacementsHonourEveryOption) {
    const std::vector<std::pair<std::string, std::vector<USize_C>>> sets = {
        {"one", {{7, 3}}},
        {"few mixed", {{30, 10}, {10, 30}, {16, 16}, {5, 40}, {40, 5}, {1, 1}, {25, 7}}},
        {"equal frames", std::vector<USize_C>(60, USize_C(24, 18))},
        {"long and thin", {{120, 3}, {3, 110}, {100, 4}, {4, 90}, {60, 60}}},
        {"random mixed", Mixed(80, 64, 7)},
        // Trimmed game sprites on which rotation once gave a larger sheet than none.
        {"sprites",
         {{21, 21},   {48, 48},   {30, 30},  {23, 22},   {18, 19},  {15, 13},   {119, 36},
          {91, 44},   {510, 184}, {100, 50}, {75, 38},   {95, 37},  {18, 32},   {64, 64},
          {133, 120}, {64, 64},   {166, 48}, {156, 150}, {90, 45},  {32, 32},   {115, 72},
          {19, 60},   {16, 16},   {17, 9},   {12, 11},   {25, 24},  {68, 23},   {53, 41},
          {24, 25},   {28, 46},   {256, 64}, {253, 57},  {378, 64}, {273, 293}, {400, 431}}},
    };
    const std::vector<UPackOptions_S> options = {
        {},
        {2, 3, 1, false, false, false, false, 0},
        {1, 0, 2, true, false, false, false, 0},
        {0, 1, 0, false, true, true, false, 0},
        {3, 2, 1, true, true, true, false, 0},
        {0, 0, 0, false, false, true, false, 0},
        {2, 1, 1, false, false, true, true, 128},
        {0, 0, 0, true, false, false, true, 128},
    };
    for (const auto& [name, sizes] : sets) {
        for (std::size_t k = 0; k < options.size(); ++k) {
            const bool tooLarge = std::any_of(sizes.begin(), sizes.end(), [&](USize_C s) {
                return options[k].maxSide > 0 && std::max(s.GetWidth(), s.GetHeight()) > 120;
            });
            if (tooLarge) {
                continue;
            }
            SCOPED_TRACE(name + ", options " + std::to_string(k));
            const UPackResult_S result = Packer(options[k], 1).Pack(sizes);
            CheckPlaces(sizes, options[k], result);
            if (HasFatalFailure()) {
                return;
            }
            const UPackResult_S parallel = Packer(options[k], 3).Pack(sizes);
            ASSERT_EQ(parallel.sheets.size(), result.sheets.size());
            for (std::size_t i = 0; i < sizes.size(); ++i) {
                EXPECT_TRUE(parallel.places[i].x == result.places[i].x &&
                            parallel.places[i].y == result.places[i].y &&
                            parallel.places[i].sheet == result.places[i].sheet &&
                            parallel.places[i].rotated == result.places[i].rotated);
            }
            if (options[k].rotate) {
                UPackOptions_S still = options[k];
                still.rotate = false;
                EXPECT_LE(SheetArea(result), SheetArea(Packer(still, 1).Pack(sizes)));
            }
        }
    }
}

// Sets no sheet of the largest side holds are refused without multipack; with it, only a
// rectangle larger than that sheet is. Sheets after the first exist only when needed.
TEST(UMaxRectsPacker, SetsBeyondTheLargestSheet) {
    struct Case {
        std::vector<USize_C> sizes;
        UPackOptions_S options;
        bool fits;
        std::size_t sheets;
    };
    const std::vector<Case> cases = {
        {{{40, 40}, {40, 40}, {40, 40}}, {0, 0, 0, false, false, false, false, 64}, false, 0},
        {{{40, 40}, {40, 40}, {40, 40}}, {0, 0, 0, false, false, false, true, 64}, true, 3},
        {{{30, 30}, {30, 30}, {30, 30}, {30, 30}},
         {0, 3, 0, false, false, false, true, 66},
         true,
         1},
        {{{30, 30}, {30, 30}, {30, 30}, {30, 30}},
         {0, 3, 0, false, false, false, true, 65},
         true,
         4},
        {{{40, 40}, {20, 20}, {40, 40}, {20, 20}},
         {0, 0, 0, false, false, false, true, 64},
         true,
         2},
        {{{10, 70}}, {0, 0, 0, false, false, true, true, 64}, false, 0},
        {{{64, 64}}, {0, 0, 0, true, false, false, false, 100}, true, 1},
        {{{65, 10}}, {0, 0, 0, true, false, false, true, 100}, false, 0},
        {std::vector<USize_C>(100, USize_C(16, 16)),
         {0, 0, 0, false, false, false, true, 64},
         true,
         7},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        SCOPED_TRACE("case " + std::to_string(k));
        const UPackResult_S result = Packer(cases[k].options, 2).Pack(cases[k].sizes);
        ASSERT_EQ(result.fits, cases[k].fits);
        EXPECT_EQ(result.sheets.size(), cases[k].sheets);
        if (result.fits) {
            CheckPlaces(cases[k].sizes, cases[k].options, result);
        }
    }
}

// Sets on which the free search once settled on a larger sheet than the square one (300 long
// strips: 315 x 268 against 289 x 289; 120 mixed: 246 x 575 against 376 x 376). The free sheet
// is never larger, and, a loose bound that a broken search would miss by far, the boxes cover at
// least 85% of it.
TEST(UMaxRectsPacker, FreeSheetIsFullAndNeverLargerThanSquare) {
    const std::vector<std::pair<std::string, std::vector<USize_C>>> sets = {
        {"long strips", Strips(300, 120, 8, 11)},
        {"mixed 120", Mixed(120, 64, 7)},
    };
    const std::vector<UPackOptions_S> options = {
        {}, {0, 0, 0, false, false, true, false, 0}, {2, 1, 0, false, false, false, false, 0}};
    for (const auto& [name, sizes] : sets) {
        for (std::size_t k = 0; k < options.size(); ++k) {
            int64_t area = 0;
            for (const USize_C& size : sizes) {
                area += int64_t{size.GetWidth() + options[k].padding} *
                        (size.GetHeight() + options[k].padding);
            }
            UPackOptions_S square = options[k];
            square.square = true;
            const int64_t free = SheetArea(Packer(options[k]).Pack(sizes));
            EXPECT_LE(free, SheetArea(Packer(square).Pack(sizes)))
                << name << ", options " << k << ": the free sheet is larger than the square one";
            EXPECT_GE(double(area) / double(free), 0.85) << name << ", options " << k;
        }
    }
}

namespace {

// Opaque, half transparent and fully transparent (0) values, different in every pixel.
UPixels_C MakePicture(USize_C size, uint64_t seed) {
    UPixels_C pixels;
    pixels.SetSize(size);
    for (uint32_t i = 0; i < size.GetArea(); ++i) {
        const uint32_t alpha = std::array{0u, 0x80u, 0xFFu, 0xFFu}[Next(seed) % 4];
        pixels.GetData()[i] = alpha == 0 ? 0 : alpha << 24 | (Next(seed) & 0xFFFFFFu);
    }
    return pixels;
}

// The sheet the slow way: each frame's kept part turned clockwise when rotated (picture pixel
// (x, y) of a part h high going to (h - 1 - y, x)), drawn over the background, then extruded
// pixel by pixel.
std::vector<uint32_t> Reference(USize_C sheet, const std::vector<UPackedFrame_S>& frames,
                                uint32_t background, int32_t extrude) {
    const int32_t width = sheet.GetWidth();
    std::vector<uint32_t> values(sheet.GetArea(), background);
    UPixels_C target;
    target.AttachView(values.data(), 0, 0, width, sheet.GetHeight());
    for (const UPackedFrame_S& frame : frames) {
        const URect_C& kept = frame.kept;
        UPixels_C part;
        part.SetSize(frame.GetSheetRect().GetSize());
        for (int32_t y = 0; y < kept.GetHeight(); ++y) {
            for (int32_t x = 0; x < kept.GetWidth(); ++x) {
                const uint32_t value =
                    frame.picture->GetData()[std::size_t(kept.top + y) *
                                                 std::size_t(frame.picture->GetSize().GetWidth()) +
                                             std::size_t(kept.left + x)];
                const int32_t u = frame.rotated ? kept.GetHeight() - 1 - y : x;
                const int32_t v = frame.rotated ? x : y;
                part.GetData()[std::size_t(v) * std::size_t(part.GetSize().GetWidth()) +
                               std::size_t(u)] = value;
            }
        }
        target.Draw(part.MakeView(frame.onSheet), 0);
    }
    for (const UPackedFrame_S& frame : frames) {
        ExtrudeFrame(values, width, sheet.GetHeight(), frame.GetSheetRect(), extrude);
    }
    return values;
}

}  // namespace

// Rows drawn from packed frames, whole pictures and trimmed parts, turned or not, over either
// background, equal the sheet drawn whole and extruded; a set large enough for many bands.
TEST(UPackedRows, RowsEqualTheWholeSheetDrawnAndExtruded) {
    uint64_t seed = 11;
    const std::vector<USize_C> sizes = Mixed(120, 40, 5);
    std::vector<UPixels_C> pictures;
    std::vector<URect_C> kept;
    std::vector<USize_C> keptSizes;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        pictures.push_back(MakePicture(sizes[i], i));
        const int32_t w = sizes[i].GetWidth();
        const int32_t h = sizes[i].GetHeight();
        const int32_t left = i % 2 ? int32_t(Next(seed) % uint32_t(w)) : 0;
        const int32_t top = i % 2 ? int32_t(Next(seed) % uint32_t(h)) : 0;
        kept.push_back({left, top, left + int32_t(Next(seed) % uint32_t(w - left)),
                        top + int32_t(Next(seed) % uint32_t(h - top))});
        // Every third frame turned: packed as it lies on the sheet.
        const USize_C size = kept.back().GetSize();
        keptSizes.push_back(i % 3 ? size : USize_C(size.GetHeight(), size.GetWidth()));
    }
    for (const int32_t extrude : {0, 2}) {
        UPackOptions_S options;
        options.extrude = extrude;
        options.padding = 1;
        options.border = 1;
        const UPackResult_S result = Packer(options).Pack(keptSizes);
        ASSERT_TRUE(result.fits);
        std::vector<UPackedFrame_S> frames;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const UPackResult_S::UPlace_S& p = result.places[i];
            frames.push_back({&pictures[i], kept[i], {p.x, p.y}, i % 3 == 0});
        }
        for (const uint32_t background : {0u, 0x80336699u}) {
            const USheetRows_C rows(result.sheets[0], frames, background, extrude);
            const std::vector<uint32_t> expected =
                Reference(result.sheets[0], frames, background, extrude);
            std::vector<uint32_t> row(std::size_t(rows.GetWidth()));
            for (int32_t y = 0; y < rows.GetHeight(); ++y) {
                rows.Draw(y, row.data());
                ASSERT_TRUE(std::equal(row.begin(), row.end(),
                                       expected.begin() + std::ptrdiff_t(y) * rows.GetWidth()))
                    << "extrude " << extrude << ", background " << background << ", row " << y;
            }
        }
    }
}
