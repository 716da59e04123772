#include "composition/data/UDataForm_S.h"

#include <algorithm>
#include <array>

#include "foundation/ShownText.h"

namespace {

using Form = NS_Data::UDataOptions_S;

// Phaser 3 draws a turned frame mirrored and squashed (its issue 5012: no version of Phaser 3
// supports them), CSS cannot turn a background, libGDX turns frames the other way, and Godot's
// AtlasTexture has no turn at all.
constexpr std::array<UDataForm_S, 10> Forms = {{
    {Form::JsonHash, "hash", TR_NOOP("UDataForm_S", "frames by name"), ".json", false, nullptr,
     FormatJsonHash},
    {Form::JsonArray, "array", TR_NOOP("UDataForm_S", "in sheet order"), ".json", false, nullptr,
     FormatJsonArray},
    {Form::Aseprite, "aseprite",
     TR_NOOP("UDataForm_S", "frames by index, for Phaser's createFromAseprite"), ".json", false,
     TR_NOOP("UDataForm_S", "is read by Phaser 3, which draws a rotated frame mirrored"),
     FormatAseprite},
    {Form::Phaser3, "phaser3", TR_NOOP("UDataForm_S", "one multi-atlas for every sheet"), ".json",
     true, TR_NOOP("UDataForm_S", "is read by Phaser 3, which draws a rotated frame mirrored"),
     FormatPhaser3},
    {Form::Melonjs, "melonjs", TR_NOOP("UDataForm_S", "melonJS's atlas"), ".json", false, nullptr,
     FormatMelonjs},
    {Form::Xml, "xml", TR_NOOP("UDataForm_S", "TextureAtlas"), ".xml", false, nullptr,
     FormatTextureAtlasXml},
    {Form::Libgdx, "libgdx", TR_NOOP("UDataForm_S", "libGDX and Spine atlas"), ".atlas", true,
     TR_NOOP("UDataForm_S", "turns frames the other way"), FormatLibgdxAtlas},
    {Form::Css, "css", TR_NOOP("UDataForm_S", "one class per frame"), ".css", true,
     TR_NOOP("UDataForm_S", "cannot show a rotated frame"), FormatCssSprites},
    {Form::Godot, "godot", TR_NOOP("UDataForm_S", "Godot 4 SpriteFrames"), ".tres", true,
     TR_NOOP("UDataForm_S", "cannot turn a frame: Godot's AtlasTexture draws its region upright"),
     FormatGodot4},
    {Form::Godot3, "godot3", TR_NOOP("UDataForm_S", "Godot 3 SpriteFrames"), ".tres", true,
     TR_NOOP("UDataForm_S", "cannot turn a frame: Godot's AtlasTexture draws its region upright"),
     FormatGodot3},
}};

}  // namespace

std::span<const UDataForm_S> GetDataForms() {
    return Forms;
}

const UDataForm_S& GetDataForm(NS_Data::UDataOptions_S::Form_E form) {
    const auto* entry = std::ranges::find(Forms, form, &UDataForm_S::form);
    return entry == Forms.end() ? Forms.front() : *entry;
}
