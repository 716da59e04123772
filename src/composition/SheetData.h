#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"
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
    // Animations with frames on other sheets of the multipack too: an engine reads one sheet's
    // file at a time, so it would play them with frames missing; they are left out.
    std::vector<std::string> split;
};

// One sheet and the frames on it, in sheet order.
struct USheetDataPage_S {
    USheetDataMeta_S meta;
    std::vector<USheetDataFrame_S> frames;
};

// Notes in each page's meta the animations whose frames lie on more than one page.
void MarkSplitAnimations(std::vector<USheetDataPage_S>& pages);

// True when the form keeps every sheet of a multipack in one file; the others take a file for
// each sheet.
bool HoldsEveryPage(NS_Data::UDataOptions_S::Form_E format);

// Why the form cannot describe what `options` makes; empty when it can.
std::string FindDataFormatProblem(const NS_Data::UComposeOptions_S& options);

// The sprite-sheet data that game engines read beside the sheet, in options.data.form: each
// frame's place on the sheet and in its picture, the sheet's path (relative to the data file)
// and size, the animations the frames' names make (see FindAnimations), and with a pivot set,
// each frame's pivot. One page, or for a form that holds every page, all of them. In the forms
// that key frames by name, a name met again becomes NAME~2, NAME~3, ... (skipping names already
// taken); the array keeps every name as it is, in sheet order. Bytes that are not UTF-8 become
// U+FFFD, before names are made unique.
std::string FormatSheetData(const std::vector<USheetDataPage_S>& pages,
                            const NS_Data::UComposeOptions_S& options);
