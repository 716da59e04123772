#pragma once

#include <cstdint>
#include <vector>

#include "foundation/USize_C.h"

namespace NS_Data {

// Where packing put every rectangle. When `fits` is false (a rectangle larger than the largest
// sheet, or, without multipack, a set that one sheet of the largest side cannot hold) nothing
// was placed: `sheets` and `places` are empty and the caller refuses the batch. No rectangles
// give no sheets.
struct UPackResult_S {
    struct UPlace_S {
        int32_t sheet = 0;
        // The frame's top-left on its sheet, extrusion excluded.
        int32_t x = 0;
        int32_t y = 0;
        // Stored turned 90 degrees clockwise: the frame on the sheet is h wide and w high, and
        // the picture's top-left pixel lies at its top-right. This is what `"rotated": true`
        // means to engines, whose "frame" keeps the unturned w and h: Phaser 3's JSONHash parser
        // sets the frame's UVs with updateUVsInverted(), which puts the texture's first corner
        // (u0, v0) at (cutX + cutHeight, cutY), the sheet region's top-right; PixiJS's Spritesheet
        // gives such a frame rotate 2 (groupD8.S, a quarter turn clockwise) and swaps w and h for
        // the region it cuts.
        bool rotated = false;
    };

    bool fits = true;
    std::vector<USize_C> sheets;
    // One per rectangle, in input order.
    std::vector<UPlace_S> places;
};

}  // namespace NS_Data
