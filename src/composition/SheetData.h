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
    // Stored on the sheet turned 90 degrees clockwise; place.onSheet keeps the unturned size.
    bool rotated = false;
};

// What the data file says of its sheet.
struct USheetDataMeta_S {
    // The sheet's path, relative to the data file.
    std::string image;
    int64_t width = 0;
    int64_t height = 0;
    // The data files of the other sheets of a multipack, relative to this one; none otherwise.
    std::vector<std::string> related;
};

// The sprite-sheet data that game engines read beside the sheet ("JSON hash" or, with
// `asArray`, "JSON array"): each frame's place on the sheet and in its picture, and the sheet's
// path (relative to the data file) and size. In the hash, a name met again becomes NAME~2,
// NAME~3, ... (skipping names already taken); the array keeps every name as it is, in sheet
// order. Bytes that are not UTF-8 become U+FFFD, before names are made unique.
std::string FormatSheetData(const std::vector<USheetDataFrame_S>& frames,
                            const USheetDataMeta_S& meta, bool asArray);
