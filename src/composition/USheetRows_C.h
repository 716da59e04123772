#pragma once

#include <cstdint>
#include <vector>

#include "composition/USheetLayout_S.h"
#include "foundation/URect_C.h"
#include "imaging/UPixels_C.h"

namespace NS_Data {

// A sheet's rows, each drawn when asked for, straight from the pictures into the caller's row,
// so that the encoder reads the sheet without it ever being held whole. Each row is what drawing
// every picture on a sheet filled with the background, then extruding every frame, leaves in it.
// The pictures must stay alive and unchanged while rows are drawn; rows may be drawn on several
// threads at once.
class USheetRows_C {
public:
    // `pictures` in cell order, as the group holds them: every fully transparent value 0.
    USheetRows_C(const USheetLayout_S& layout, const std::vector<const UPixels_C*>& pictures,
                 uint32_t background);

    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    // Fills `row` (room for GetWidth values) with row `y`.
    void Draw(int32_t y, uint32_t* row) const;

private:
    // A picture placed in its cell.
    struct UPlaced_S {
        UPixels_C view;  // the picture where it lies on the sheet
        URect_C frame;   // its frame on the sheet
        URect_C kept;    // the frame's pixels in the picture
    };

    void DrawPicture(const UPlaced_S& picture, int32_t y, uint32_t* row) const;

    USheetLayout_S layout;
    std::vector<UPlaced_S> placed;
    uint32_t background;
    int32_t width;
    int32_t height;
};

}  // namespace NS_Data
