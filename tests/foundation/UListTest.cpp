#include "foundation/USimpleList_T.h"
#include "foundation/UString_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

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

// The collected paths are sorted through this list: ties, and long lists in reverse or random
// order, the deepest cases of a partitioning sort.
TEST(UList, SortsByByteOrderWhateverTheOrderGiven) {
    Strings numbers;
    for (int i = 0; i < 3000; ++i) {
        numbers.push_back(std::to_string(100000 + i));
    }
    Strings shuffled = numbers;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    const std::vector<std::pair<Strings, Strings>> cases = {
        {{"same", "b", "same", "A", "a"}, {"A", "a", "b", "same", "same"}},
        {{numbers.rbegin(), numbers.rend()}, numbers},
        {shuffled, numbers},
    };
    for (const auto& [input, sorted] : cases) {
        UList list;
        for (const std::string& text : input) {
            list.AddData(text.c_str());
        }
        list.FastSort(1);
        EXPECT_EQ(Walk(list), sorted);
    }
}
