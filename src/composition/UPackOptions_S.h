#pragma once

#include <cstdint>

namespace NS_Data {

// How freely placed frames share a sheet. Spacing means what it means for the grid: each frame
// takes its size plus `extrude` on every side, boxes are `padding` apart, and `border` runs
// around the sheet.
struct UPackOptions_S {
    int32_t padding = 0;
    int32_t border = 0;
    int32_t extrude = 0;
    // Both sheet sides powers of two.
    bool powerOfTwo = false;
    // Equal sheet sides.
    bool square = false;
    // A frame may be stored turned 90 degrees clockwise when that gives a smaller sheet.
    bool rotate = false;
    // Frames that do not fit one sheet of `maxSide` go on further sheets.
    bool multipack = false;
    // Largest sheet side; 0 means 16384, what most GPUs can load.
    int32_t maxSide = 0;
};

}  // namespace NS_Data
