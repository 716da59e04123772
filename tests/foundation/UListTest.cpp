#include "foundation/USimpleList_T.h"
#include "foundation/UString_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"

using Strings = std::vector<std::string>;

namespace {

class UNoFile_C;  // no operation uses the file type, so an incomplete one must do
using UList = NS_Data::USimpleList_T<NS_Data::UString_C, UNoFile_C>;
using UIdentifier = UList::UIdentifier_C;

Strings Walk(UList& list) {
    Strings seen;
    for (UIdentifier id = list.GetFirst(); id.IsValid(); id.Next()) {
        seen.push_back(list.GetData(id).GetString());
    }
    return seen;
}

}  // namespace

TEST(UList, DeleteAllIsRefusedWhileAnyIdentifierIsAttached) {
    UList list;
    list.AddData("x");
    UIdentifier copy;
    {
        UIdentifier second = list.AddData("y");
        list.AddData("z");
        copy = second;  // a copy holds its own reference
        UIdentifier moved = std::move(second);
        EXPECT_FALSE(second.IsValid());  // NOLINT: moved-from identifiers are null
        EXPECT_EQ(ErrorOf([&] { list.DeleteAll(); }),
                  "USimpleList_T 3 Fail to delete data because something uses it.");
    }
    EXPECT_EQ(CodeOf([&] { list.DeleteAll(); }), 3) << "the copy is still attached";
    EXPECT_EQ(Walk(list), (Strings{"x", "y", "z"}));
    copy = UIdentifier();
    list.DeleteAll();
    EXPECT_EQ(Walk(list), Strings{});
}

TEST(UList, SortsByByteOrderBothWaysAndIdentifiersFollowTheirElements) {
    Strings numbers;
    for (int i = 0; i < 3000; ++i) {
        numbers.push_back(std::to_string(100000 + i));
    }
    Strings shuffled = numbers;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    const std::vector<std::pair<Strings, Strings>> cases = {
        {{"b.png", "A.png", "a.png"}, {"A.png", "a.png", "b.png"}},
        {{"same", "same", "other", "same"}, {"other", "same", "same", "same"}},
        {{numbers.rbegin(), numbers.rend()}, numbers},
        {shuffled, numbers},
    };
    for (const auto& [input, ascending] : cases) {
        for (int up : {1, 0}) {
            UList list;
            std::vector<UIdentifier> held;
            for (const std::string& text : input) {
                held.push_back(list.AddData(text.c_str()));
            }
            list.FastSort(up);
            EXPECT_EQ(Walk(list), up ? ascending : Strings(ascending.rbegin(), ascending.rend()));
            for (std::size_t i = 0; i < input.size() && i < 20; ++i) {
                EXPECT_EQ(list.GetData(held[i]).GetString(), input[i]) << "identifier " << i;
            }
        }
    }
    // A held identifier walks on from its element's new place, and ends null.
    UList list;
    UIdentifier b = list.AddData("b");
    list.AddData("a");
    list.FastSort(1);
    EXPECT_EQ(b.Next(), 1);
    EXPECT_FALSE(b.IsValid());
}
