#include "UPixels_C.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <vector>

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

template <class Operation>
int32_t CodeOf(Operation operation) {
    try {
        operation();
    } catch (const NS_Base::UError_C& error) {
        EXPECT_STREQ(error.GetPosition(), "UPixels_C");
        return error.GetCode();
    }
    return 0;
}

// Opaque values that name their own column and row.
UPixels_C MakeNumbered(int32_t width, int32_t height) {
    UPixels_C pixels;
    pixels.SetSize(USize_C(width, height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            pixels.GetData()[width * y + x] = 0xFF000000u | uint32_t(x) << 8 | uint32_t(y);
        }
    }
    return pixels;
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

TEST(UPixels, UnsizedBuffersAndSourcesAreRefused) {
    UPixels_C fresh;
    UPixels_C target = MakeFilled(2, 2, 0);
    EXPECT_EQ(CodeOf([&] { fresh.Fill(0); }), 2);
    EXPECT_EQ(CodeOf([&] { fresh.GetContentRect(); }), 2);
    EXPECT_EQ(CodeOf([&] { fresh.Draw(target, 0); }), 2);
    EXPECT_EQ(CodeOf([&] { target.Draw(fresh, 0); }), 2);
    EXPECT_EQ(CodeOf([&] { target.Draw(fresh.MakeView({0, 0}), 0); }), 2);
    EXPECT_EQ(CodeOf([&] { target.Draw(target.MakeView({1, 0}), 1); }), 7);
}

TEST(UPixels, SizingKeepsMemoryWhenTheCountStays) {
    UPixels_C pixels = MakeNumbered(4, 6);
    const uint32_t* memory = pixels.GetData();
    pixels.SetSize(USize_C(6, 4));
    EXPECT_EQ(pixels.GetData(), memory);
    EXPECT_EQ(pixels.GetData()[23], 0xFF000305u);
    EXPECT_EQ(pixels.GetSize().GetWidth(), 6);

    pixels.SetSize(USize_C(0, 5));
    EXPECT_EQ(pixels.GetSize().GetWidth(), 0);
    EXPECT_EQ(pixels.GetSize().GetHeight(), 5);
    pixels.Fill(1);
    EXPECT_EQ(pixels.GetContentRect(), (URect_C{0, 0, -1, -1}));
}

TEST(UPixels, ImpossibleSizesAndViewsAreNotResized) {
    UPixels_C pixels = MakeFilled(3, 3, 7);
    EXPECT_EQ(CodeOf([&] { pixels.SetSize(USize_C(INT32_MAX, INT32_MAX)); }), 1);
    EXPECT_EQ(CodeOf([&] { pixels.SetSize(USize_C(65536, 65536)); }), 1);
    ASSERT_EQ(pixels.GetSize().GetWidth(), 3);
    EXPECT_EQ(At(pixels, 2, 2), 7u);

    UPixels_C view = pixels.MakeView({1, 1});
    EXPECT_EQ(CodeOf([&] { view.SetSize(USize_C(1, 1)); }), 5);
    std::vector<uint32_t> foreign(6, 0);
    view.AttachView(foreign.data(), 5, 6, 3, 2);
    EXPECT_EQ(view.GetArea(), (URect_C{5, 6, 7, 7}));
    view.Fill(9);
    EXPECT_EQ(foreign[5], 9u);
    EXPECT_EQ(CodeOf([&] { view.SetSize(USize_C(3, 2)); }), 5);
}

TEST(UPixels, MovingHandsOverTheValues) {
    UPixels_C first = MakeFilled(2, 2, 5);
    UPixels_C second(std::move(first));
    EXPECT_EQ(CodeOf([&] { first.Fill(0); }), 2);
    first = std::move(second);
    EXPECT_EQ(At(first, 1, 1), 5u);
    EXPECT_EQ(CodeOf([&] { second.GetContentRect(); }), 2);
}

TEST(UPixels, DrawClipsTheSourceToTheTarget) {
    struct Case {
        UPoint_C place;
        URect_C changed;  // in target coordinates
    };
    const Case cases[] = {
        {{-2, -3}, {0, 0, 2, 2}},   // only source columns from 2 and rows from 3
        {{8, 7}, {8, 7, 9, 9}},     // cut at the right and bottom
        {{10, 0}, {0, 0, -1, -1}},  // wholly right of the target
        {{0, 10}, {0, 0, -1, -1}},  // wholly below
        {{-5, 2}, {0, 0, -1, -1}},  // wholly left
    };
    const UPixels_C source = MakeNumbered(5, 6);
    for (const Case& c : cases) {
        UPixels_C target = MakeFilled(10, 10, 0);
        target.Draw(source.MakeView(c.place), 0);
        for (int32_t y = 0; y < 10; ++y) {
            for (int32_t x = 0; x < 10; ++x) {
                const bool inside = x >= c.changed.left && x <= c.changed.right &&
                                    y >= c.changed.top && y <= c.changed.bottom;
                const uint32_t expected =
                    inside ? 0xFF000000u | uint32_t(x - c.place.x) << 8 | uint32_t(y - c.place.y)
                           : 0u;
                ASSERT_EQ(At(target, x, y), expected)
                    << "source at (" << c.place.x << ", " << c.place.y << "), target pixel (" << x
                    << ", " << y << ")";
            }
        }
    }
}

TEST(UPixels, DrawComposesAlphaLikeTheOriginal) {
    struct Case {
        uint32_t target;
        uint32_t source;
        uint32_t expected;
    };
    const Case cases[] = {
        {0xFF000064, 0x800000C8, 0xFF000096},  // blue 100 + (200 - 100) x 128/255
        {0xFF640000, 0x80C90000, 0xFF960000},  // red 150.698 truncates to 150
        {0x00123456, 0x80ABCDEF, 0x80ABCDEF},  // over a transparent target: copied exactly
        {0xFF112233, 0xFF445566, 0xFF445566},  // opaque source replaces
        {0x7F112233, 0x00FFFFFF, 0x7F112233},  // transparent source skipped
        {0x401080FF, 0x20F0007F, 0x402C6FEE},  // the larger alpha wins
    };
    for (const Case& c : cases) {
        UPixels_C target = MakeFilled(1, 1, c.target);
        const UPixels_C source = MakeFilled(1, 1, c.source);
        target.Draw(source, 0);
        char message[80];
        std::snprintf(message, sizeof message, "%08X over %08X gave %08X, expected %08X", c.source,
                      c.target, At(target, 0, 0), c.expected);
        EXPECT_EQ(At(target, 0, 0), c.expected) << message;
    }
}
