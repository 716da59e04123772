#include "composition/USheetRows_C.h"

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
