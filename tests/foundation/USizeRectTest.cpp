#include "URect_C.h"
#include "USize_C.h"

#include <gtest/gtest.h>

TEST(USize, RefusesNegativeSidesAndKeepsTheOldSize) {
    USize_C size(0, 5);
    EXPECT_FALSE(size.IsNotEmpty());
    try {
        size.Set(-1, 5);
        FAIL() << "a negative width was accepted";
    } catch (const NS_Base::UError_C& error) {
        EXPECT_EQ(error.GetCode(), 1);
        EXPECT_STREQ(error.GetPosition(), "USize_C");
        EXPECT_EQ(error.GetKind(), NS_Base::SystemError);
    }
    EXPECT_EQ(size.GetWidth(), 0);
    EXPECT_EQ(size.GetHeight(), 5);
    EXPECT_THROW(USize_C(3, -2), NS_Base::UError_C);
}

TEST(URect, EmptyRectangleHasZeroSizeAndInvertedOneFails) {
    const URect_C empty;
    EXPECT_FALSE(empty.IsNotEmpty());
    EXPECT_EQ(empty.GetSize().GetWidth(), 0);
    EXPECT_EQ(empty.GetSize().GetHeight(), 0);
    EXPECT_THROW((URect_C{5, 0, 3, 0}.GetSize()), NS_Base::UError_C);
}

TEST(URect, UnionIntersectionAndMoving) {
    const URect_C a = URect_C::FromSize(USize_C(4, 3));
    EXPECT_EQ(a, (URect_C{0, 0, 3, 2}));
    const URect_C b = URect_C::FromPointSize({2, 5}, USize_C(4, 1));
    EXPECT_EQ(a.Union(b), (URect_C{0, 0, 5, 5}));
    EXPECT_FALSE(a.Intersects(b));
    EXPECT_TRUE(a.Intersects(b.Moved({0, -3})));
    // Touching edges are inclusive: column 3 belongs to both.
    EXPECT_TRUE(a.Intersects(URect_C{3, 2, 9, 9}));
    EXPECT_EQ(b.Moved({-2, -5}).GetTopLeft(), (UPoint_C{0, 0}));
}
