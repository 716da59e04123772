#include "composition/data/UDataForm_S.h"

#include <algorithm>
#include <array>

namespace {

using Form = NS_Data::UDataOptions_S;

// Phaser 3 draws a turned frame mirrored and squashed (its issue 5012: no version of Phaser 3
// supports them), CSS cannot turn a background, libGDX turns frames the other way, and Godot's
// AtlasTexture has no turn at all.
constexpr std::array<UDataForm_S, 10> Forms = {{
    {Form::JsonHash, "hash", "frames by name", ".json", false, nullptr, FormatJsonHash},
    {Form::JsonArray, "array", "in sheet order", ".json", false, nullptr, FormatJsonArray},
    {Form::Aseprite, "aseprite", "frames by index, for Phaser's createFromAseprite", ".json", false,
     "is read by Phaser 3, which draws a rotated frame mirrored", FormatAseprite},
    {Form::Phaser3, "phaser3", "one multi-atlas for every sheet", ".json", true,
     "is read by Phaser 3, which draws a rotated frame mirrored", FormatPhaser3},
    {Form::Melonjs, "melonjs", "melonJS's atlas", ".json", false, nullptr, FormatMelonjs},
    {Form::Xml, "xml", "TextureAtlas", ".xml", false, nullptr, FormatTextureAtlasXml},
    {Form::Libgdx, "libgdx", "libGDX and Spine atlas", ".atlas", true, "turns frames the other way",
     FormatLibgdxAtlas},
    {Form::Css, "css", "one class per frame", ".css", true, "cannot show a rotated frame",
     FormatCssSprites},
    {Form::Godot, "godot", "Godot 4 SpriteFrames", ".tres", true,
     "cannot turn a frame: Godot's AtlasTexture draws its region upright", FormatGodot4},
    {Form::Godot3, "godot3", "Godot 3 SpriteFrames", ".tres", true,
     "cannot turn a frame: Godot's AtlasTexture draws its region upright", FormatGodot3},
}};

}  // namespace

std::span<const UDataForm_S> GetDataForms() {
    return Forms;
}

const UDataForm_S& GetDataForm(NS_Data::UDataOptions_S::Form_E form) {
    const auto* entry = std::ranges::find(Forms, form, &UDataForm_S::form);
    return entry == Forms.end() ? Forms.front() : *entry;
}
