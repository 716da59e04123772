#pragma once

#include <cstdint>

#include "foundation/URect_C.h"

namespace NS_Data {

// Where the pictures of a sheet go: one common cell, in picture coordinates, repeated in a grid
// filled row by row. Counts and sides are 64-bit so that a sheet whose 32-bit size would
// overflow can be recognised and refused.
struct USheetLayout_S {
    URect_C cell;
    int64_t columns = 0;
    int64_t rows = 0;

    int64_t GetWidth() const { return cell.GetWidth() * columns; }
    int64_t GetHeight() const { return cell.GetHeight() * rows; }
};

}  // namespace NS_Data
