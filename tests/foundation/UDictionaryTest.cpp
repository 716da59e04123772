#include "UDictionary_T.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "UString_C.h"

using NS_Data::UString_C;

namespace {

class UNoFile_C;  // only the version members use the file type
using Dictionary = NS_Data::UDictionary_T<UString_C, int, UNoFile_C>;

class UNamed_C : public Dictionary {
public:
    const char* ClassName() const override { return "UNamed_C"; }
};

// Collects the keys it sees; returns `result` once it has seen `stopAt` keys.
struct UCollector_C : Dictionary::UConstProcessForEach_C {
    UCollector_C(int entry, int32_t value) : stopAt(entry), result(value) {}
    int32_t Process(const UString_C& key, const int&) override {
        seen += key.GetString();
        return static_cast<int>(seen.size()) == stopAt ? result : 0;
    }
    int stopAt;
    int32_t result;
    std::string seen;
};

}  // namespace

TEST(UDictionary, MissingKeysRaiseKeyErrorsNamingKeyAndActualClass) {
    UNamed_C dictionary;
    try {
        dictionary.GetForSet("ComposeMode");
        ADD_FAILURE() << "a missing key was found";
    } catch (const NS_Base::UError_C& error) {
        EXPECT_EQ(error.GetCode(), 2);
        EXPECT_STREQ(error.GetInfoEx(), "ComposeMode");
        EXPECT_STREQ(error.GetPosition(), "UNamed_C");
    }
    EXPECT_EQ(CodeOf([&] { (void)dictionary.Get("ComposeMode"); }), 1);
    EXPECT_EQ(dictionary.Count(), 0) << "a failed lookup inserted an entry";
}

TEST(UDictionary, VisitsInByteOrderAndStopsAtTheFirstNonZeroResult) {
    Dictionary dictionary;
    UCollector_C none(0, 0);
    EXPECT_EQ(dictionary.ProcessForEach(none), 0);
    EXPECT_EQ(none.seen, "") << "an empty dictionary called the visitor";
    for (const char* key : {"b", "a", "C", "a"}) {
        dictionary.Insert(key) += 1;
    }
    EXPECT_EQ(dictionary.Get("a"), 2) << "inserting a present key replaced its record";
    UCollector_C all(0, 0), stopping(2, 3);
    EXPECT_EQ(dictionary.ProcessForEach(all), 0);
    EXPECT_EQ(all.seen, "Cab");
    EXPECT_EQ(dictionary.ProcessForEach(stopping), 3);
    EXPECT_EQ(stopping.seen, "Ca");
}
