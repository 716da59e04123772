#pragma once

#include <cstdint>

namespace NS_Data {

// How cells are spaced and how many go in a row, on top of the layout mode. The defaults leave
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
};

}  // namespace NS_Data
