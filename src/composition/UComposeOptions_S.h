#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/USheetOptions_S.h"
#include "imaging/USheetEncoder_C.h"

namespace NS_Data {

// How the pictures are laid out: one row, one column, a grid of equal cells nearest to square,
// or packed one by one as tightly as MaxRects finds.
enum class ULayout_E { Row, Column, Grid, Packed };
// What is cut from the pictures: nothing, the box common to all of them, or each its own box.
enum class UTrim_E { None, Common, Each };

// The layout as the window's ComposeMode setting stores it: 0 row, 1 column, any other integer
// the grid. The packed layout has no value there, so it is stored apart.
ULayout_E LayoutFromComposeMode(int32_t mode);
int32_t ComposeModeFromLayout(ULayout_E layout);

// What the packer reads besides the sheet's spacing.
struct UPackingOptions_S {
    // A picture may be stored turned 90 degrees clockwise when that gives a smaller sheet.
    bool rotate = false;
    // Equal sheet sides.
    bool square = false;
    // Further sheets for what one sheet of the largest side cannot hold.
    bool multipack = false;
    // Identical pictures share one place.
    bool alias = true;
};

// What the data file writer reads.
struct UDataOptions_S {
    // The data file's form; composition/data/UDataForm_S.cpp describes each.
    enum Form_E {
        JsonHash,
        JsonArray,
        Aseprite,
        Phaser3,
        Melonjs,
        Xml,
        Libgdx,
        Css,
        Godot,
        Godot3
    };

    // Where the frame data goes; empty for none.
    std::string path;
    Form_E form = JsonHash;
    // Milliseconds a frame of an animation shows, where its file gives none: 1000 / fps.
    int32_t fps = 10;
    // Each frame's pivot, in fractions of its picture's size; written only when set.
    bool hasPivot = false;
    double pivotX = 0.5;
    double pivotY = 0.5;
};

// What the sheet's writer reads.
struct UEncodingOptions_S {
    USheetEncoder_C::Level compression = USheetEncoder_C::Level::Default;
    // A palette PNG when the sheet has at most 256 RGBA values, else RGBA with a warning.
    bool indexed = false;
};

// What is done to the sheet's pixels once they are placed.
struct UPixelOptions_S {
    // Every fully transparent pixel around and inside a frame takes the colour of the nearest
    // visible one, so that filtering brings no foreign colour into the frame's edge.
    bool alphaBleed = false;
    // Colours multiplied by their alpha, for engines that blend premultiplied textures.
    bool premultiply = false;
};

// One resolution of the sheet: the pictures scaled by `scale`, packed on their own, written to
// the sheet's and data file's names with `suffix` before the extension ("sheet@2x.png").
struct UVariant_S {
    std::string suffix;
    double scale = 1.0;
};

// Everything a compose job is asked for besides its pictures, grouped by the part that reads
// it. The defaults make the sheet the window has always made: one column, untrimmed, no data
// file.
struct UComposeOptions_S {
    // The sheet's path; "-" is standard output.
    std::string output;
    ULayout_E layout = ULayout_E::Column;
    UTrim_E trim = UTrim_E::None;
    // Spacing, columns and the sheet's size limits.
    USheetOptions_S sheet;
    UPackingOptions_S packing;
    UDataOptions_S data;
    UEncodingOptions_S encoding;
    UPixelOptions_S pixels;
    // Every frame of an animated gif in a cell of its own, rather than the first.
    bool allGifFrames = false;
    // 0xAARRGGBB of the sheet's pixels outside every picture.
    uint32_t background = 0;
    // The resolutions written, each a set of its own; none means one at scale 1, no suffix.
    std::vector<UVariant_S> variants;
};

// Every option that changes what a compose writes, as one text: equal texts, equal files.
std::string CanonicalText(const UComposeOptions_S& options);

}  // namespace NS_Data
