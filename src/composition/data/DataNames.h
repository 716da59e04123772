#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "composition/data/USheetDataPage_S.h"

// The name as a data file spells it: bytes that are not UTF-8 become U+FFFD, exactly as the JSON
// writer replaces them, so that two names differing only there are told apart before they meet
// as one key.
std::string AsWritten(const std::string& name);

// Gives each name met again the first free NAME~N; every name is looked up a bounded number of
// times on average, so a batch of one name repeated stays linear.
class UUniqueNames_C {
public:
    std::string Take(const std::string& name);
    // True when `name` was taken already.
    bool Holds(const std::string& name) const;

private:
    std::unordered_set<std::string> taken;
    std::unordered_map<std::string, int32_t> nextSuffix;
};

// How a form spells a frame's name in its file.
using USpelling_F = std::function<std::string(const std::string&)>;

// Every frame's name as `spell` writes it, each name met again made NAME~2, NAME~3, ...
// (skipping names already taken), across every page in order. Names are made unique on the
// text as written, since two names may spell the same.
std::vector<std::vector<std::string>> MakeUniqueNames(const std::vector<USheetDataPage_S>& pages,
                                                      const USpelling_F& spell = AsWritten);
