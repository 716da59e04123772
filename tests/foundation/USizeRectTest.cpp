#include "URect_C.h"
#include "USize_C.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

TEST(USize, RefusesNegativeSidesAndKeepsTheOldSize) {
    USize_C size(0, 5);
    EXPECT_EQ(ErrorOf([&] { size.Set(-1, 5); }),
              "USize_C 1 Fail to set size because negative size.");
    EXPECT_EQ(size.GetWidth(), 0);
    EXPECT_EQ(size.GetHeight(), 5);
    EXPECT_EQ(CodeOf([] { USize_C(3, -2); }), 1);
}

TEST(URect, SizesUnionIntersectionAndMoving) {
    EXPECT_EQ(URect_C().GetSize().GetWidth(), 0) << "the empty rectangle";
    EXPECT_EQ(CodeOf([] { URect_C{5, 0, 3, 0}.GetSize(); }), 1) << "an inverted rectangle";
    const URect_C a = URect_C::FromSize(USize_C(4, 3));
    EXPECT_EQ(a, (URect_C{0, 0, 3, 2}));
    const URect_C b = URect_C::FromPointSize({2, 5}, USize_C(4, 1));
    EXPECT_EQ(a.Union(b), (URect_C{0, 0, 5, 5}));
    EXPECT_FALSE(a.Intersects(b));
    EXPECT_TRUE(a.Intersects(b.Moved({0, -3})));
    // Touching edges are inclusive: column 3 belongs to both.
    EXPECT_TRUE(a.Intersects(URect_C{3, 2, 9, 9}));
}
