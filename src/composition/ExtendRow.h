#pragma once

#include <algorithm>
#include <cstdint>

#include "foundation/URect_C.h"

namespace NS_Data {

// Repeats the outer pixels of `frame` in this sheet row sideways, `extrude` pixels or as far as
// the row's `width` reaches: what extrusion adds beside a frame, whatever the layout.
inline void ExtendRow(const URect_C& frame, int32_t extrude, int32_t width, uint32_t* row) {
    if (extrude == 0) {
        return;
    }
    std::fill(row + std::max(frame.left - extrude, 0), row + frame.left, row[frame.left]);
    std::fill(row + frame.right + 1, row + std::min(frame.right + extrude, width - 1) + 1,
              row[frame.right]);
}

}  // namespace NS_Data
