#include "UList_T.h"
#include "USimpleList_T.h"
#include "UString_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

using NS_Base::UError_C;
using NS_Data::UString_C;

namespace {

class UNoFile_C;  // the file type is never used, so an incomplete one must do
using UList = NS_Data::USimpleList_T<UString_C, UNoFile_C>;
using UIdentifier = UList::UIdentifier_C;

std::vector<std::string> Walk(UList& list) {
    std::vector<std::string> seen;
    for (UIdentifier id = list.GetFirst(); id.IsValid(); id.Next()) {
        seen.push_back(list.GetData(id).GetString());
    }
    return seen;
}

void Fill(UList& list, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        list.AddData(text.c_str());
    }
}

// Runs `action` and returns the error it raised; fails the test when it raised none.
template <class Action>
UError_C Raised(Action action) {
    try {
        action();
    } catch (const UError_C& error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return UError_C(0, 0, "", nullptr);
}

void ExpectError(const UError_C& error, int32_t code, const char* position, const char* info) {
    EXPECT_EQ(error.GetCode(), code);
    EXPECT_EQ(error.GetKind(), NS_Base::SystemError);
    EXPECT_STREQ(error.GetPosition(), position);
    EXPECT_STREQ(error.GetInfo(), info);
}

}  // namespace

TEST(UList, IdsAreSerialAndRestartAfterDeleteAll) {
    UList list;
    {
        UIdentifier a = list.AddData("a");
        UIdentifier b = list.AddData("b");
        UIdentifier c = list.AddData("c");
        EXPECT_EQ(list.GetCount(), 3);
        // Ids are not visible, but an element reached by its identifier is the one added.
        EXPECT_STREQ(list.GetData(b).GetString(), "b");
    }
    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(Walk(list).empty());
    UIdentifier again = list.AddData("again");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(Walk(list), std::vector<std::string>{"again"});
}

TEST(UList, IdentifiersFollowTheirElementsThroughASort) {
    UList list;
    const std::vector<std::string> texts = {"d", "b", "e", "a", "c"};
    std::vector<UIdentifier> held;
    for (const std::string& text : texts) {
        held.push_back(list.AddData(text.c_str()));
    }
    list.FastSort(1);
    EXPECT_EQ(Walk(list), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(list.GetData(held[i]).GetString(), texts[i]) << "identifier " << i;
    }
    // A held identifier walks on from its element's new position.
    UIdentifier fromD = held[0];
    ASSERT_EQ(fromD.Next(), 0);
    EXPECT_STREQ(list.GetData(fromD).GetString(), "e");
    EXPECT_EQ(fromD.Next(), 1);
    EXPECT_FALSE(fromD.IsValid());
}

TEST(UList, DeleteAllIsRefusedWhileAnIdentifierIsAttached) {
    UList list;
    Fill(list, {"x", "y", "z"});
    UIdentifier second = list.GetFirst();
    second.Next();
    ExpectError(Raised([&] { list.DeleteAll(); }), 3, "USimpleList_T",
                "Fail to delete data because something uses it.");
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Walk(list), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_STREQ(list.GetData(second).GetString(), "y");
}

TEST(UList, CopiesAndMovesKeepTheReferenceCount) {
    UList list;
    Fill(list, {"only"});
    auto deleteRefused = [&] {
        try {
            list.DeleteAll();
            return false;
        } catch (const UError_C&) {
            return true;
        }
    };
    UIdentifier original = list.GetFirst();
    {
        UIdentifier copy = original;
        UIdentifier assigned;
        assigned = copy;
        UIdentifier moved = std::move(copy);
        EXPECT_FALSE(copy.IsValid());  // NOLINT: a moved-from identifier is null by contract
        EXPECT_TRUE(moved.IsValid());
        original = UIdentifier();
        EXPECT_TRUE(deleteRefused()) << "two identifiers are still attached";
        assigned = std::move(moved);
        EXPECT_TRUE(deleteRefused()) << "one identifier is still attached";
    }
    EXPECT_FALSE(deleteRefused()) << "no identifier is attached any more";
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(UList, SortsByByteOrderBothWays) {
    struct Case {
        std::vector<std::string> input;
        std::vector<std::string> ascending;
    };
    const std::vector<Case> cases = {
        {{"b.png", "A.png", "a.png"}, {"A.png", "a.png", "b.png"}},
        {{"/p/b.png", "/p/B.png", "/p/a/z.png"}, {"/p/B.png", "/p/a/z.png", "/p/b.png"}},
        {{"same", "same", "other", "same"}, {"other", "same", "same", "same"}},
        {{"only"}, {"only"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        UList up;
        Fill(up, c.input);
        up.FastSort(1);
        EXPECT_EQ(Walk(up), c.ascending);
        UList down;
        Fill(down, c.input);
        down.FastSort(0);
        EXPECT_EQ(Walk(down), std::vector<std::string>(c.ascending.rbegin(), c.ascending.rend()));
    }
}

TEST(UList, SortsLongOrderedAndShuffledInputWithoutOverflowingItsStack) {
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) {
        texts.push_back(std::to_string(100000 + i));
    }
    std::vector<std::vector<std::string>> inputs = {texts, {texts.rbegin(), texts.rend()}, texts};
    std::shuffle(inputs[2].begin(), inputs[2].end(), std::mt19937(7));
    for (const auto& input : inputs) {
        UList list;
        Fill(list, input);
        list.FastSort(1);
        EXPECT_EQ(Walk(list), texts);
    }
}

TEST(UList, MisusedIdentifiersRaiseTheirOwnCodes) {
    UList list;
    UList other;
    UIdentifier nullOfList = list.GetFirst();
    EXPECT_FALSE(nullOfList.IsValid());
    ExpectError(Raised([&] { list.GetData(nullOfList); }), 3, "UIdentifier_C",
                "This identifier is null.");
    ExpectError(Raised([&] { nullOfList.Next(); }), 3, "UIdentifier_C", "This identifier is null.");
    UIdentifier unowned;
    ExpectError(Raised([&] { list.GetData(unowned); }), 1, "UIdentifier_C",
                "This identifier has not been registered.");
    ExpectError(Raised([&] { unowned.Next(); }), 1, "UIdentifier_C",
                "This identifier has not been registered.");
    // Ownership is checked before anything else, even for a null identifier.
    ExpectError(Raised([&] { other.GetData(nullOfList); }), 8, "USimpleList_T",
                "This identifier does not belong to this list.");
}

TEST(UList, ErrorsNameTheMostDerivedList) {
    NS_Data::UList_T<UString_C, UNoFile_C> plain;
    UList simple;
    NS_Data::UList_T<UString_C, UNoFile_C>& simpleAsBase = simple;
    const UIdentifier fromPlain = plain.GetFirst();
    const UIdentifier fromSimple = simple.GetFirst();
    EXPECT_STREQ(Raised([&] { simpleAsBase.GetData(fromPlain); }).GetPosition(), "USimpleList_T");
    EXPECT_STREQ(Raised([&] { plain.GetData(fromSimple); }).GetPosition(), "UList_T");
}
