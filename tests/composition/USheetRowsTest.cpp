#include "composition/USheetRows_C.h"

#include "composition/AlphaBleed.h"
#include "composition/USheetLayout_S.h"
#include "composition/USheetPlan_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "PictureFiles.h"

using NS_Data::USheetLayout_S;
using NS_Data::USheetPlan_C;
using NS_Data::USheetRows_C;

namespace {

// Opaque, half transparent and fully transparent values mixed inside `visible`, and none
// outside; fully transparent values are 0, as the group holds them.
UPixels_C MakePicture(int32_t width, int32_t height, const URect_C& visible) {
    UPixels_C pixels;
    pixels.SetSize(USize_C(width, height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const auto i = static_cast<uint32_t>(y * width + x);
            const uint32_t alpha = std::array{0u, 0x80u, 0xFFu}[(i + width) % 3];
            const bool shown = alpha != 0 && x >= visible.left && x <= visible.right &&
                               y >= visible.top && y <= visible.bottom;
            pixels.GetData()[i] = shown ? alpha << 24 | (i * 0x10305u & 0xFFFFFFu) : 0;
        }
    }
    return pixels;
}

// The sheet the slow way: filled, every picture drawn where its cell puts it, every frame
// extruded pixel by pixel.
std::vector<uint32_t> Reference(const USheetLayout_S& layout,
                                const std::vector<const UPixels_C*>& pictures,
                                uint32_t background) {
    const auto width = static_cast<int32_t>(layout.GetWidth());
    const auto height = static_cast<int32_t>(layout.GetHeight());
    std::vector<uint32_t> sheet(static_cast<std::size_t>(width) * height, background);
    UPixels_C target;
    target.AttachView(sheet.data(), 0, 0, width, height);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        target.Draw(
            pictures[i]->MakeView(layout.GetCellOrigin(int64_t(i)) - layout.cell.GetTopLeft()), 0);
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        ExtrudeFrame(sheet, width, height,
                     layout.PlaceFrame(int64_t(i), pictures[i]->GetSize()).onSheet,
                     layout.spacing.extrude);
    }
    return sheet;
}

}  // namespace

// A grid plan's rows, drawn one by one, equal the whole sheet drawn cell by cell and extruded,
// over any background, for pictures of several sizes whether cut to a common cell or not.
TEST(USheetRows, GridRowsEqualTheWholeSheetDrawnAndExtruded) {
    const std::vector<USize_C> sizes = {{5, 4}, {3, 6}, {6, 2}};
    const std::vector<URect_C> trimmed = {{1, 1, 3, 2}, {0, 2, 2, 4}, {2, 0, 4, 1}};
    for (const bool trim : {false, true}) {
        std::vector<NS_Data::Picture_S> owned(sizes.size());
        std::vector<const NS_Data::Picture_S*> pictures;
        std::vector<const UPixels_C*> pixels;
        std::vector<URect_C> areas;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const URect_C visible = trim ? trimmed[i] : URect_C::FromSize(sizes[i]);
            owned[i].pixels = MakePicture(sizes[i].GetWidth(), sizes[i].GetHeight(), visible);
            owned[i].contentRect = owned[i].pixels.GetContentRect();
            areas.push_back(trim ? owned[i].contentRect : visible);
            pictures.push_back(&owned[i]);
            pixels.push_back(&owned[i].pixels);
        }
        NS_Data::UComposeOptions_S options;
        options.trim = trim ? NS_Data::UTrim_E::Common : NS_Data::UTrim_E::None;
        options.sheet = {1, 2, 2, 0, true, 0};
        for (const uint32_t background : {0u, 0x80336699u}) {
            for (const int mode : {0, 1, 2}) {
                options.layout = NS_Data::LayoutFromComposeMode(mode);
                const USheetPlan_C plan = USheetPlan_C::Make(pictures, options);
                const USheetRows_C rows(plan.GetSheets()[0], plan.GetFrames(0, pictures),
                                        background, options.sheet.extrude);
                const std::vector<uint32_t> expected = Reference(
                    USheetLayout_S::Plan(areas, options.layout, options.sheet), pixels, background);
                std::vector<uint32_t> row(static_cast<std::size_t>(rows.GetWidth()));
                for (int32_t y = 0; y < rows.GetHeight(); ++y) {
                    rows.Draw(y, row.data());
                    ASSERT_TRUE(std::equal(row.begin(), row.end(),
                                           expected.begin() + std::ptrdiff_t(y) * rows.GetWidth()))
                        << "trimmed " << trim << ", background " << background << ", mode " << mode
                        << ", row " << y;
                }
            }
        }
    }
}

namespace {

std::vector<uint32_t> DrawSheet(const USheetRows_C& rows) {
    std::vector<uint32_t> sheet(std::size_t(rows.GetWidth()) * std::size_t(rows.GetHeight()));
    for (int32_t y = 0; y < rows.GetHeight(); ++y) {
        rows.Draw(y, sheet.data() + std::size_t(y) * std::size_t(rows.GetWidth()));
    }
    return sheet;
}

// The colours the visible pixels of `cell` nearest to (x, y) have, found one by one.
std::vector<uint32_t> NearestColours(const std::vector<uint32_t>& sheet, int32_t width,
                                     const URect_C& cell, int32_t x, int32_t y) {
    int64_t best = -1;
    std::vector<uint32_t> colours;
    for (int32_t v = cell.top; v <= cell.bottom; ++v) {
        for (int32_t u = cell.left; u <= cell.right; ++u) {
            const uint32_t value = sheet[std::size_t(v) * width + u];
            const int64_t distance = int64_t{u - x} * (u - x) + int64_t{v - y} * (v - y);
            if (value >> 24 == 0 || (best >= 0 && distance > best)) {
                continue;
            }
            if (distance != best) {
                colours.clear();
            }
            best = distance;
            colours.push_back(value & 0xFFFFFF);
        }
    }
    return colours;
}

}  // namespace

// With bleeding, each fully transparent pixel of a frame's cell (the frame grown by extrusion
// and half the padding) takes the colour of a nearest visible pixel of that cell and stays
// transparent; every other pixel stays as drawn without it. Premultiplying then changes each
// pixel as Premultiply does. Packed with turned frames and an alias, and in a grid.
TEST(USheetRows, BleedingColoursTransparentCellPixelsByTheNearestVisible) {
    struct UCase_S {
        NS_Data::ULayout_E layout;
        NS_Data::UTrim_E trim;
        int32_t padding;
        int32_t extrude;
        bool rotate;
    };
    using L = NS_Data::ULayout_E;
    using T = NS_Data::UTrim_E;
    const std::vector<UCase_S> cases = {{L::Packed, T::Each, 3, 1, true},
                                        {L::Packed, T::None, 4, 0, false},
                                        {L::Grid, T::None, 2, 2, false},
                                        {L::Row, T::Each, 5, 0, false}};
    const std::vector<USize_C> sizes = {{20, 2}, {2, 20}, {20, 2}, {5, 4}, {3, 3}};
    std::vector<NS_Data::Picture_S> owned(sizes.size());
    std::vector<const NS_Data::Picture_S*> pictures;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        // Pictures 0 and 2 are equal; picture 4 has nothing visible.
        const URect_C visible = i == 4 ? URect_C{} : URect_C::FromSize(sizes[i]);
        owned[i].pixels = MakePicture(sizes[i].GetWidth(), sizes[i].GetHeight(), visible);
        owned[i].contentRect = owned[i].pixels.GetContentRect();
        pictures.push_back(&owned[i]);
    }
    for (const UCase_S& c : cases) {
        NS_Data::UComposeOptions_S options;
        options.layout = c.layout;
        options.trim = c.trim;
        options.sheet = {c.padding, 1, c.extrude, 0, false, 0};
        options.packing.rotate = c.rotate;
        const USheetPlan_C plan = USheetPlan_C::Make(pictures, options);
        const auto frames = plan.GetFrames(0, pictures);
        ASSERT_TRUE(!c.rotate || std::ranges::any_of(frames, &NS_Data::UPackedFrame_S::rotated));
        const auto draw = [&](bool bleed, bool premultiply) {
            return DrawSheet(USheetRows_C(plan.GetSheets()[0], frames, 0, c.extrude,
                                          {bleed, premultiply}, c.padding));
        };
        const std::vector<uint32_t> plain = draw(false, false);
        const std::vector<uint32_t> bled = draw(true, false);
        const std::vector<uint32_t> premultiplied = draw(true, true);
        const int32_t width = plan.GetSheets()[0].GetWidth();
        const int32_t margin = c.extrude + c.padding / 2;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            const auto x = int32_t(i % std::size_t(width));
            const auto y = int32_t(i / std::size_t(width));
            std::vector<uint32_t> allowed = {plain[i]};
            for (const NS_Data::UPackedFrame_S& frame : frames) {
                const URect_C r = frame.GetSheetRect();
                const URect_C cell =
                    URect_C{r.left - margin, r.top - margin, r.right + margin, r.bottom + margin}
                        .Intersection(URect_C::FromSize(plan.GetSheets()[0]));
                if (plain[i] >> 24 == 0 && cell.Intersects({x, y, x, y})) {
                    allowed = NearestColours(plain, width, cell, x, y);
                    allowed = allowed.empty() ? std::vector<uint32_t>{0} : allowed;
                }
            }
            ASSERT_NE(std::ranges::find(allowed, bled[i]), allowed.end())
                << "layout " << int(c.layout) << ": pixel " << x << ", " << y << " is " << std::hex
                << bled[i] << ", drawn plainly " << plain[i];
            ASSERT_EQ(premultiplied[i], NS_Data::Premultiply(bled[i])) << x << ", " << y;
        }
    }
}

// Premultiplied colours are rounded to the nearest level, never truncated.
TEST(USheetRows, PremultiplyRoundsToTheNearestLevel) {
    const std::vector<std::pair<uint32_t, uint32_t>> cases = {
        {0xFF123456, 0xFF123456}, {0x00FFFFFF, 0x00000000}, {0x80FF8000, 0x80804000},
        {0xC0C8C8C8, 0xC0979797}, {0x7F010101, 0x7F000000}, {0x80010101, 0x80010101},
        {0x01FFFFFF, 0x01010101}};
    for (const auto& [straight, expected] : cases) {
        EXPECT_EQ(NS_Data::Premultiply(straight), expected) << std::hex << straight;
    }
}
