#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/UFrame_S.h"

// One frame as the data file names and places it.
struct USheetDataFrame_S {
    std::string name;
    NS_Data::UFrame_S place;
    // Milliseconds the frame shows in its animation; negative for a still picture.
    int32_t duration = -1;
};

// The sprite-sheet data that game engines read beside the sheet ("JSON hash" or, with
// `asArray`, "JSON array"): each frame's place on the sheet and in its picture, and the sheet's
// path (relative to the data file) and size. In the hash, a name met again becomes NAME~2,
// NAME~3, ... (skipping names already taken); the array keeps every name as it is, in sheet
// order. Bytes that are not UTF-8 become U+FFFD.
std::string FormatSheetData(const std::vector<USheetDataFrame_S>& frames, const std::string& image,
                            int64_t width, int64_t height, bool asArray);
