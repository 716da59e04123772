#pragma once

#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/data/Animations.h"
#include "composition/data/USheetDataPage_S.h"

// True when the form keeps every sheet of a multipack in one file; the others take a file for
// each sheet.
bool HoldsEveryPage(NS_Data::UDataOptions_S::Form_E format);

// The data file written beside `sheet` in `form`: the sheet's path with the form's extension
// in place of its own ("art/sheet.webp" -> "art/sheet.json").
std::string MakeDataPath(const std::string& sheet, NS_Data::UDataOptions_S::Form_E form);

// The sprite-sheet data that game engines read beside the sheet, in options.data.form: each
// frame's place on the sheet and in its picture, the sheet's path (relative to the data file)
// and size, the animations the frames' names make (see FindAnimations), and with a pivot set,
// each frame's pivot. One page, or for a form that holds every page, all of them. In the forms
// that key frames by name, a name met again becomes NAME~2, NAME~3, ... (skipping names already
// taken), after the form has spelled it (bytes that are not UTF-8 as U+FFFD, and what the form
// cannot hold rewritten); the array keeps every name as it is, in sheet order. What the form
// had to change goes to `warnings`, one line for each kind of change.
std::string FormatSheetData(const std::vector<USheetDataPage_S>& pages,
                            const NS_Data::UComposeOptions_S& options,
                            std::vector<std::string>& warnings);
// The same, dropping the warnings.
std::string FormatSheetData(const std::vector<USheetDataPage_S>& pages,
                            const NS_Data::UComposeOptions_S& options);
