#pragma once

#include "foundation/URect_C.h"
#include "foundation/USize_C.h"

namespace NS_Data {

// One picture's place on a sheet: the sheet pixels that hold it, and where those lie in the
// picture. Drawing `onSheet` at `inSource` on a transparent canvas of `sourceSize` gives the
// picture back.
struct UFrame_S {
    URect_C onSheet;
    URect_C inSource;
    USize_C sourceSize;

    bool IsTrimmed() const {
        return onSheet.GetWidth() != sourceSize.GetWidth() ||
               onSheet.GetHeight() != sourceSize.GetHeight();
    }
};

}  // namespace NS_Data
