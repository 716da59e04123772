#include "USimpleList_T.h"
#include "UString_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

using NS_Base::UError_C;
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

// The code and position of the error `action` raised, or (0, "none").
template <class Action>
std::pair<int32_t, std::string> Raised(Action action) {
    try {
        action();
    } catch (const UError_C& error) {
        return {error.GetCode(), error.GetPosition()};
    }
    return {0, "none"};
}

}  // namespace

TEST(UList, IdentifiersFollowTheirElementsThroughASort) {
    UList list;
    const Strings texts = {"d", "b", "e", "a", "c"};
    std::vector<UIdentifier> held;
    for (const std::string& text : texts) {
        held.push_back(list.AddData(text.c_str()));
    }
    list.FastSort(1);
    EXPECT_EQ(Walk(list), (Strings{"a", "b", "c", "d", "e"}));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(list.GetData(held[i]).GetString(), texts[i]) << "identifier " << i;
    }
    // A held identifier walks on from its element's new place, and ends null.
    ASSERT_EQ(held[0].Next(), 0);
    EXPECT_STREQ(list.GetData(held[0]).GetString(), "e");
    EXPECT_EQ(held[0].Next(), 1);
    EXPECT_FALSE(held[0].IsValid());
}

TEST(UList, DeleteAllIsRefusedWhileAnyIdentifierIsAttached) {
    UList list;
    for (const char* text : {"x", "y", "z"}) {
        list.AddData(text);
    }
    UIdentifier copy;
    {
        UIdentifier second = list.GetFirst();
        second.Next();
        copy = second;  // a copy holds its own reference
        UIdentifier moved = std::move(second);
        EXPECT_FALSE(second.IsValid());  // NOLINT: moved-from identifiers are null
        EXPECT_EQ(Raised([&] { list.DeleteAll(); }),
                  std::make_pair(3, std::string("USimpleList_T")));
    }
    EXPECT_EQ(Raised([&] { list.DeleteAll(); }).first, 3) << "the copy is still attached";
    EXPECT_EQ(Walk(list), (Strings{"x", "y", "z"}));
    EXPECT_STREQ(list.GetData(copy).GetString(), "y");
    copy = UIdentifier();
    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
    list.AddData("again");
    EXPECT_EQ(Walk(list), Strings{"again"});
}

TEST(UList, SortsByByteOrderBothWaysWithoutOverflowingItsStack) {
    Strings numbers;
    for (int i = 0; i < 3000; ++i) {
        numbers.push_back(std::to_string(100000 + i));
    }
    Strings shuffled = numbers;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    const std::vector<std::pair<Strings, Strings>> cases = {
        {{"b.png", "A.png", "a.png"}, {"A.png", "a.png", "b.png"}},
        {{"same", "same", "other", "same"}, {"other", "same", "same", "same"}},
        {{"only"}, {"only"}},
        {{}, {}},
        {numbers, numbers},
        {{numbers.rbegin(), numbers.rend()}, numbers},
        {shuffled, numbers},
    };
    for (const auto& [input, ascending] : cases) {
        for (int up : {1, 0}) {
            UList list;
            for (const std::string& text : input) {
                list.AddData(text.c_str());
            }
            list.FastSort(up);
            EXPECT_EQ(Walk(list), up ? ascending : Strings(ascending.rbegin(), ascending.rend()));
        }
    }
}

TEST(UList, MisusedIdentifiersRaiseTheirCodes) {
    UList list;
    UList other;
    NS_Data::UList_T<NS_Data::UString_C, UNoFile_C> plain;
    UIdentifier null = list.GetFirst();
    UIdentifier unowned;
    const std::string identifier = "UIdentifier_C";
    EXPECT_EQ(Raised([&] { list.GetData(null); }), std::make_pair(3, identifier));
    EXPECT_EQ(Raised([&] { null.Next(); }), std::make_pair(3, identifier));
    EXPECT_EQ(Raised([&] { list.GetData(unowned); }), std::make_pair(1, identifier));
    EXPECT_EQ(Raised([&] { unowned.Next(); }), std::make_pair(1, identifier));
    // Ownership is checked first, and the list reports under its most derived name.
    EXPECT_EQ(Raised([&] { other.GetData(null); }),
              std::make_pair(8, std::string("USimpleList_T")));
    EXPECT_EQ(Raised([&] { plain.GetData(null); }), std::make_pair(8, std::string("UList_T")));
}
