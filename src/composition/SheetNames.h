#pragma once

#include <string>
#include <vector>

#include "composition/SheetData.h"

// The name as a data file spells it: bytes that are not UTF-8 become U+FFFD, exactly as the JSON
// writer replaces them, so that two names differing only there are told apart before they meet
// as one key.
std::string AsWritten(const std::string& name);

// Every frame's name as written, each name met again made NAME~2, NAME~3, ... (skipping names
// already taken), across every page in order.
std::vector<std::vector<std::string>> MakeUniqueNames(const std::vector<USheetDataPage_S>& pages);

// The text forms, one file for all pages (SheetText.cpp).
std::string FormatTextureAtlasXml(const USheetDataPage_S& page,
                                  const std::vector<std::string>& names,
                                  const NS_Data::UComposeOptions_S& options);
std::string FormatLibgdxAtlas(const std::vector<USheetDataPage_S>& pages,
                              const std::vector<std::vector<std::string>>& names);
std::string FormatCssSprites(const std::vector<USheetDataPage_S>& pages,
                             const std::vector<std::vector<std::string>>& names);
