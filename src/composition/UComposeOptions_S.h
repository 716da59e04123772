#pragma once

#include <cstdint>
#include <string>

#include "composition/USheetOptions_S.h"
#include "imaging/USheetEncoder_C.h"

namespace NS_Data {

// Everything a compose job is asked for besides its pictures: where the sheet and its data file
// go, how the pictures are laid out and cut, and how hard the writer works. The defaults make the
// sheet the window has always made: one column, untrimmed, no data file.
struct UComposeOptions_S {
    // The data file's forms: JSON hash and array (most engines), Aseprite's JSON (frames keyed
    // by index, as Phaser's createFromAseprite finds them), Phaser 3's multi-atlas, the
    // TextureAtlas XML, the libGDX and Spine text atlas, and CSS sprites.
    enum DataFormat_E { JsonHash, JsonArray, Aseprite, Phaser3, Xml, Libgdx, Css };

    // The sheet's path; "-" is standard output.
    std::string output;
    // Where the frame data goes; empty for none.
    std::string dataPath;
    DataFormat_E dataFormat = JsonHash;
    // Milliseconds a frame of an animation shows, where its file gives none: 1000 / fps.
    int32_t fps = 10;
    // Each frame's pivot, in fractions of its picture's size; written only when set.
    bool hasPivot = false;
    double pivotX = 0.5;
    double pivotY = 0.5;
    // A layout value as the ComposeMode setting holds it: 0 row, 1 column, anything else grid.
    int32_t composeMode = 1;
    // Pictures packed as tightly as MaxRects finds, whatever their sizes, instead of the
    // layout's equal cells.
    bool packed = false;
    // One box common to all pictures (autoCut), or each picture cut to its own (trim).
    bool autoCut = false;
    bool trim = false;
    // Packing only: a picture may be stored turned 90 degrees; equal sheet sides; further
    // sheets for what one sheet of the largest side cannot hold; identical pictures in one place.
    bool rotate = false;
    bool square = false;
    bool multipack = false;
    bool alias = true;
    // Spacing, columns and texture sizes; all off by default.
    USheetOptions_S sheet;
    // The longest sheet side allowed, in pixels; 0 only warns above the common GPU limit.
    int64_t maxSize = 0;
    // Every frame of an animated gif in a cell of its own, rather than the first.
    bool allGifFrames = false;
    USheetEncoder_C::Level compression = USheetEncoder_C::Level::Default;
    // A palette PNG when the sheet has at most 256 RGBA values, else RGBA with a warning.
    bool indexed = false;
    // 0xAARRGGBB of the sheet's pixels outside every picture.
    uint32_t background = 0;
};

}  // namespace NS_Data
