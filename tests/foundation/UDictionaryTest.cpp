#include "foundation/UDictionary_T.h"

#include <gtest/gtest.h>

#include "foundation/UString_C.h"

// Key order and the visitor are checked through the settings file, which is saved in key order.
TEST(UDictionary, AMissingKeyRaisesAKeyErrorNamingItAndAddsNothing) {
    class UNoFile_C;  // only the version members use the file type
    NS_Data::UDictionary_T<NS_Data::UString_C, int, UNoFile_C> dictionary;
    try {
        dictionary.GetForSet("ComposeMode");
        ADD_FAILURE() << "a missing key was found";
    } catch (const NS_Base::UError_C& error) {
        EXPECT_EQ(error.GetCode(), 2);
        EXPECT_STREQ(error.GetInfoEx(), "ComposeMode");
    }
    EXPECT_EQ(dictionary.Count(), 0) << "a failed lookup inserted an entry";
}
