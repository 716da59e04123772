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
    // The variant's scale of the pictures, which PixiJS takes for the sheet's resolution.
    double scale = 1.0;
    // The data files of the other sheets of a multipack, relative to this one; none otherwise.
    std::vector<std::string> related;
    // Animations with frames on other sheets of the multipack too: an engine reads one sheet's
    // file at a time, so it would play them with frames missing; they are left out.
    std::vector<std::string> split;
    // Colours multiplied by alpha; written only where the form's engine reads it.
    bool premultiplied = false;
};

// One sheet and the frames on it, in sheet order.
struct USheetDataPage_S {
    USheetDataMeta_S meta;
    std::vector<USheetDataFrame_S> frames;
};
