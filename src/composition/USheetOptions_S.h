#pragma once

#include <cstdint>

namespace NS_Data {

// How cells are spaced, how many go in a row and how large the sheet may grow, on top of the
// layout. The defaults leave
// the sheet exactly as the layout alone makes it.
struct USheetOptions_S {
    // Transparent pixels between neighbouring cells.
    int32_t padding = 0;
    // Transparent pixels around the whole sheet.
    int32_t border = 0;
    // Pixels by which each frame's outer pixels are repeated outward; every cell gets that much
    // room on each side, so extrusion never reaches a neighbour.
    int32_t extrude = 0;
    // Cells per row regardless of the layout mode; 0 lets the mode decide.
    int32_t columns = 0;
    // Both sheet sides rounded up to powers of two.
    bool powerOfTwo = false;
    // The longest sheet side the user allows, in pixels; 0 for no limit of their own (a sheet
    // above the common GPU limit is then written with a warning, and packing keeps within it).
    int64_t maxSize = 0;
};

}  // namespace NS_Data
