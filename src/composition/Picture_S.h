#pragma once

#include "foundation/URect_C.h"
#include "imaging/UPixels_C.h"

namespace NS_Data::NS_GroupElementDeclare {

// One picture of a group: its pixels, every fully transparent one stored as 0, and the bounding
// rectangle of the others in its own coordinates.
struct Picture_S {
    UPixels_C pixels;
    // (0, 0, -1, -1) when the whole picture is transparent.
    URect_C contentRect{0, 0, 0, 0};
};

}  // namespace NS_Data::NS_GroupElementDeclare
