#pragma once

#include <cstdint>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/UFrame_S.h"
#include "composition/USheetOptions_S.h"
#include "foundation/URect_C.h"

namespace NS_Data {

// Where the pictures of a sheet go: one common cell, in picture coordinates, repeated in a grid
// filled row by row, spaced as the options say. Counts and sides are 64-bit so that a sheet
// whose 32-bit size would overflow can be recognised and refused.
//
// Planning depends on the pictures' areas alone, so the size of a sheet can be known from the
// picture files' headers before anything is decoded.
struct USheetLayout_S {
    URect_C cell;
    int64_t columns = 0;
    int64_t rows = 0;
    USheetOptions_S spacing;

    // Sheet sides in pixels, spacing and power-of-two rounding included.
    int64_t GetWidth() const { return Span(columns, cell.GetWidth()); }
    int64_t GetHeight() const { return Span(rows, cell.GetHeight()); }
    // The sheet position of the top-left of cell `index` (row by row); valid once the sheet's
    // size is known to fit 32 bits.
    UPoint_C GetCellOrigin(int64_t index) const;
    // Where picture `index` of `size` lies on the sheet and in itself.
    UFrame_S PlaceFrame(int64_t index, USize_C size) const;

    // The layout for pictures whose kept areas are `areas` (whole pictures, or their content
    // when trimming): one row, one column, or the grid nearest to square,
    // unless the options fix the columns.
    static USheetLayout_S Plan(const std::vector<URect_C>& areas, ULayout_E shape,
                               const USheetOptions_S& options);
    // The union of the non-empty `areas`; empty without any.
    static URect_C UniteAreas(const std::vector<URect_C>& areas);
    // The grid nearest to square in pixels for `count` cells like `cell`, spacing left out; among
    // equally near grids the one with more columns wins. No cells give a 0 x 0 grid.
    static USheetLayout_S SearchGrid(const URect_C& cell, int64_t count);

private:
    int64_t Span(int64_t count, int64_t side) const;
};

}  // namespace NS_Data
