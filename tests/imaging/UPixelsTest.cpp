#include "imaging/UPixels_C.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "TestSupport.h"

namespace {

UPixels_C MakeFilled(int32_t width, int32_t height, uint32_t value) {
    UPixels_C pixels;
    pixels.SetSize(USize_C(width, height));
    pixels.Fill(value);
    return pixels;
}

uint32_t At(const UPixels_C& pixels, int32_t x, int32_t y) {
    return pixels.GetData()[pixels.GetArea().GetWidth() * y + x];
}

}  // namespace

TEST(UPixels, ContentRectBoundsVisibleValuesInOwnCoordinates) {
    UPixels_C pixels = MakeFilled(10, 8, 0x00FFFFFF);
    EXPECT_EQ(pixels.GetContentRect(), (URect_C{0, 0, -1, -1}));

    // Alpha 1 counts as visible; the view's place in the plane does not move the result.
    pixels.GetData()[10 * 5 + 3] = 0x01000000;
    EXPECT_EQ(pixels.GetContentRect(), (URect_C{3, 5, 3, 5}));
    EXPECT_EQ(pixels.MakeView({-4, 7}).GetContentRect(), (URect_C{3, 5, 3, 5}));

    pixels.GetData()[10 * 1 + 7] = 0x80000000;
    pixels.GetData()[10 * 6 + 2] = 0xFF000000;
    EXPECT_EQ(pixels.GetContentRect(), (URect_C{2, 1, 7, 6}));
    pixels.GetData()[10 * 7 + 9] = 0xFF000000;
    EXPECT_EQ(pixels.GetContentRect(), (URect_C{2, 1, 9, 7}));
}

TEST(UPixels, UnsizedSourcesAndImpossibleSizesAreRefused) {
    UPixels_C fresh;
    UPixels_C pixels = MakeFilled(3, 3, 7);
    EXPECT_EQ(CodeOf([&] { pixels.Draw(fresh, 0); }), 2);
    EXPECT_EQ(CodeOf([&] { pixels.Draw(fresh.MakeView({0, 0}), 0); }), 2);
    EXPECT_EQ(CodeOf([&] { pixels.SetSize(USize_C(INT32_MAX, INT32_MAX)); }), 1);
    EXPECT_EQ(CodeOf([&] { pixels.SetSize(USize_C(65536, 65536)); }), 1);
    ASSERT_EQ(pixels.GetSize().GetWidth(), 3) << "a refused size changed the buffer";
    EXPECT_EQ(At(pixels, 2, 2), 7u);
    EXPECT_EQ(CodeOf([&] { pixels.MakeView({1, 1}).SetSize(USize_C(1, 1)); }), 5);
}

TEST(UPixels, DrawClipsTheSourceToTheTarget) {
    // Where the source is placed, and what of the target changes.
    const std::pair<UPoint_C, URect_C> cases[] = {
        {{-2, -3}, {0, 0, 2, 2}},   // only source columns from 2 and rows from 3
        {{8, 7}, {8, 7, 9, 9}},     // cut at the right and bottom
        {{10, 0}, {0, 0, -1, -1}},  // wholly right of the target
        {{0, 10}, {0, 0, -1, -1}},  // wholly below
        {{-5, 2}, {0, 0, -1, -1}},  // wholly left
    };
    // Opaque values that name their own column and row.
    std::vector<uint32_t> numbered;
    for (uint32_t i = 0; i < 5 * 6; ++i) {
        numbered.push_back(0xFF000000u | i % 5 << 8 | i / 5);
    }
    UPixels_C source;
    source.AttachView(numbered.data(), 0, 0, 5, 6);
    for (const auto& [place, changed] : cases) {
        UPixels_C target = MakeFilled(10, 10, 0);
        target.Draw(source.MakeView(place), 0);
        for (int32_t y = 0; y < 10; ++y) {
            for (int32_t x = 0; x < 10; ++x) {
                const bool inside = x >= changed.left && x <= changed.right && y >= changed.top &&
                                    y <= changed.bottom;
                const uint32_t expected =
                    inside ? 0xFF000000u | uint32_t(x - place.x) << 8 | uint32_t(y - place.y) : 0u;
                ASSERT_EQ(At(target, x, y), expected)
                    << "source at (" << place.x << ", " << place.y << "), target pixel (" << x
                    << ", " << y << ")";
            }
        }
    }
}

TEST(UPixels, DrawComposesAlphaLikeTheOriginal) {
    // Target, source and result.
    const uint32_t cases[][3] = {
        {0xFF000064, 0x800000C8, 0xFF000096},  // blue 100 + (200 - 100) x 128/255
        {0xFF640000, 0x80C90000, 0xFF960000},  // red 150.698 truncates to 150
        {0x00123456, 0x80ABCDEF, 0x80ABCDEF},  // over a transparent target: copied exactly
        {0xFF112233, 0xFF445566, 0xFF445566},  // opaque source replaces
        {0x7F112233, 0x00FFFFFF, 0x7F112233},  // transparent source skipped
        {0x401080FF, 0x20F0007F, 0x402C6FEE},  // the larger alpha wins
    };
    for (const auto& [below, above, expected] : cases) {
        UPixels_C target = MakeFilled(1, 1, below);
        target.Draw(MakeFilled(1, 1, above), 0);
        EXPECT_EQ(At(target, 0, 0), expected) << std::hex << above << " over " << below;
    }
}

TEST(UPixels, ExtrudeRepeatsTheEdgesOutwardAsFarAsTheBufferReaches) {
    // A 2 x 2 frame of A B / C D at (1, 1) in a 5 x 5 buffer, repeated by 2: the buffer's edge
    // stops it after one pixel on the left and at the top.
    UPixels_C pixels = MakeFilled(5, 5, 'e');
    pixels.GetData()[5 * 1 + 1] = 'A';
    pixels.GetData()[5 * 1 + 2] = 'B';
    pixels.GetData()[5 * 2 + 1] = 'C';
    pixels.GetData()[5 * 2 + 2] = 'D';
    pixels.Extrude({1, 1, 2, 2}, 2);
    const char* const expected[] = {"AABBB", "AABBB", "CCDDD", "CCDDD", "CCDDD"};
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(char(At(pixels, x, y)), expected[y][x]) << "pixel (" << x << ", " << y << ")";
        }
    }
}
