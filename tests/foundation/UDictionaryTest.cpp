#include "foundation/UDictionary_T.h"

#include <gtest/gtest.h>

#include "foundation/UString_C.h"

// Key order and the visitor are checked through the settings file, which is saved in key order.
TEST(UDictionary, AMissingKeyRaisesAKeyErrorNamingItAndAddsNothing) {
    struct UNoFile_C {  // declared for the contract; only the version members would use it
        void ReadInt32(int32_t&);
        void WriteInt32(int32_t);
        void ReadBytes(void*, int32_t);
        void WriteBytes(const void*, int32_t);
        int64_t GetRemaining();
    };
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
