#include "UDictionary_T.h"

#include <gtest/gtest.h>

#include <string>

#include "UMemoryFile.h"
#include "UString_C.h"

using NS_Data::UString_C;

namespace {

using Dictionary = NS_Data::UDictionary_T<UString_C, int, UMemoryFile>;

class UNamedDictionary_C : public Dictionary {
public:
    const char* ClassName() const override { return "UNamedDictionary_C"; }
};

// Collects the keys it sees and stops with `stopResult` at entry number `stopAt`.
class UCollector_C : public Dictionary::UConstProcessForEach_C {
public:
    UCollector_C(int stopAtEntry, int32_t result) : stopAt(stopAtEntry), stopResult(result) {}
    int32_t Process(const UString_C& key, const int&) override {
        seen += key.GetString();
        return ++visited == stopAt ? stopResult : 0;
    }
    std::string seen;
    int visited = 0;

private:
    int stopAt;
    int32_t stopResult;
};

}  // namespace

TEST(UDictionary, MissingKeysRaiseKeyErrorsNamingKeyAndActualClass) {
    UNamedDictionary_C dictionary;
    const Dictionary& base = dictionary;
    EXPECT_EQ(dictionary.Find("ComposeMode"), nullptr);
    struct Case {
        int32_t code;
        const char* message;
    };
    const Case cases[] = {{1, "Fail to get data because unexpected key."},
                          {2, "Fail to set data because unexpected key."}};
    for (const Case& c : cases) {
        try {
            c.code == 1 ? (void)base.Get("ComposeMode") : (void)dictionary.GetForSet("ComposeMode");
            ADD_FAILURE() << "no error for code " << c.code;
        } catch (const NS_Base::UError_C& error) {
            EXPECT_EQ(error.GetCode(), c.code);
            EXPECT_EQ(error.GetKind(), NS_Base::SystemError);
            EXPECT_STREQ(error.GetInfo(), c.message);
            EXPECT_STREQ(error.GetInfoEx(), "ComposeMode");
            EXPECT_STREQ(error.GetPosition(), "UNamedDictionary_C");
        }
    }
    EXPECT_EQ(dictionary.Count(), 0) << "a failed lookup inserted an entry";
}

TEST(UDictionary, InsertKeepsAnExistingRecord) {
    Dictionary dictionary;
    EXPECT_EQ(dictionary.Insert("a"), 0);
    dictionary.Insert("a") = 5;
    EXPECT_EQ(dictionary.Insert("a"), 5);
    EXPECT_EQ(dictionary.Count(), 1);
    EXPECT_EQ(dictionary.Get("a"), 5);
    dictionary.GetForSet("a") = 6;
    EXPECT_EQ(*dictionary.Find("a"), 6);
}

TEST(UDictionary, VisitsInByteOrderAndStopsAtTheFirstNonZeroResult) {
    Dictionary dictionary;
    UCollector_C none(0, 0);
    EXPECT_EQ(dictionary.ProcessForEach(none), 0);
    EXPECT_EQ(none.visited, 0);
    for (const char* key : {"b", "a", "C"}) {
        dictionary.Insert(key);
    }
    UCollector_C all(0, 0);
    EXPECT_EQ(dictionary.ProcessForEach(all), 0);
    EXPECT_EQ(all.seen, "Cab");
    UCollector_C stopping(2, 3);
    EXPECT_EQ(dictionary.ProcessForEach(stopping), 3);
    EXPECT_EQ(stopping.seen, "Ca");
}

TEST(UDictionary, VersionIsALittleEndianInteger) {
    Dictionary dictionary;
    UMemoryFile file;
    EXPECT_EQ(dictionary.WriteVersion(file, 0x01020304), 0x01020304);
    EXPECT_EQ(file.Bytes(), (std::vector<unsigned char>{4, 3, 2, 1}));
    UMemoryFile source(file.Bytes());
    EXPECT_EQ(dictionary.ReadVersion(source), 0x01020304);
}
