#include "UDictionary_T.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "UMemoryFile.h"
#include "UString_C.h"

using NS_Data::UString_C;

namespace {

using Dictionary = NS_Data::UDictionary_T<UString_C, int, UMemoryFile>;

class UNamed_C : public Dictionary {
public:
    const char* ClassName() const override { return "UNamed_C"; }
};

// Collects the keys it sees; returns `result` at entry number `stopAt`.
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
    EXPECT_EQ(dictionary.Find("ComposeMode"), nullptr);
    for (const int32_t code : {1, 2}) {
        try {
            code == 1 ? (void)std::as_const(dictionary).Get("ComposeMode")
                      : (void)dictionary.GetForSet("ComposeMode");
            ADD_FAILURE() << "no error for code " << code;
        } catch (const NS_Base::UError_C& error) {
            EXPECT_EQ(error.GetCode(), code);
            EXPECT_EQ(error.GetKind(), NS_Base::SystemError);
            EXPECT_STREQ(error.GetInfo(), code == 1 ? "Fail to get data because unexpected key."
                                                    : "Fail to set data because unexpected key.");
            EXPECT_STREQ(error.GetInfoEx(), "ComposeMode");
            EXPECT_STREQ(error.GetPosition(), "UNamed_C");
        }
    }
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
