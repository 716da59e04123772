#include "foundation/USize_C.h"

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
