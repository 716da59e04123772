#include "foundation/UString_C.h"

#include <gtest/gtest.h>

using NS_Data::UString_C;

TEST(UString, OrdersByUnsignedBytes) {
    EXPECT_LT(UString_C("a").Compare("ab"), 0);
    EXPECT_LT(UString_C("B").Compare("a"), 0);
    EXPECT_EQ(UString_C("same").Compare("same"), 0);
    // Bytes above 0x7F order after ASCII, as their code points do.
    EXPECT_LT(UString_C("z").Compare("\xC3\xA9"), 0);
    EXPECT_LT(UString_C("\xE4\xB8\x80").Compare("\xF0\x9F\x98\x80"), 0);
    EXPECT_EQ(UString_C(nullptr).Compare(""), 0) << "a null text must be the empty one";
}
