#pragma once

#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/data/USheetDataPage_S.h"

// A data form's writer: the file's text for `pages` (a form that holds every sheet gets them
// all, the others one). What the form had to change to hold the frames goes to `warnings`, one
// line for each kind of change.
using UDataWriter_F = std::string (*)(const std::vector<USheetDataPage_S>& pages,
                                      const NS_Data::UDataOptions_S& data,
                                      std::vector<std::string>& warnings);

// The JSON forms (JsonForms.cpp).
std::string FormatJsonHash(const std::vector<USheetDataPage_S>& pages,
                           const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings);
std::string FormatJsonArray(const std::vector<USheetDataPage_S>& pages,
                            const NS_Data::UDataOptions_S& data,
                            std::vector<std::string>& warnings);
std::string FormatAseprite(const std::vector<USheetDataPage_S>& pages,
                           const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings);
std::string FormatPhaser3(const std::vector<USheetDataPage_S>& pages,
                          const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings);
std::string FormatMelonjs(const std::vector<USheetDataPage_S>& pages,
                          const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings);

// The text forms, each in a file of its own.
std::string FormatTextureAtlasXml(const std::vector<USheetDataPage_S>& pages,
                                  const NS_Data::UDataOptions_S& data,
                                  std::vector<std::string>& warnings);
std::string FormatLibgdxAtlas(const std::vector<USheetDataPage_S>& pages,
                              const NS_Data::UDataOptions_S& data,
                              std::vector<std::string>& warnings);
std::string FormatCssSprites(const std::vector<USheetDataPage_S>& pages,
                             const NS_Data::UDataOptions_S& data,
                             std::vector<std::string>& warnings);

// Godot's text resource, for Godot 4 and for Godot 3 (GodotForm.cpp).
std::string FormatGodot4(const std::vector<USheetDataPage_S>& pages,
                         const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings);
std::string FormatGodot3(const std::vector<USheetDataPage_S>& pages,
                         const NS_Data::UDataOptions_S& data, std::vector<std::string>& warnings);
