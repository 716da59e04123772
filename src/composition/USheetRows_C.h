#pragma once

#include <cstdint>
#include <vector>

#include "composition/UPackedFrame_S.h"
#include "foundation/USize_C.h"

namespace NS_Data {

// A sheet's rows, each drawn when asked for, straight from the pictures into the caller's row,
// so that the encoder reads the sheet without it ever being held whole, whatever the layout:
// every frame drawn on a sheet filled with the background, then every frame's edge pixels
// repeated `extrude` pixels outward. Frames must not
// overlap, extrusion included. The pictures must stay alive and unchanged while rows are drawn;
// rows may be drawn on several threads at once.
class USheetRows_C {
public:
    USheetRows_C(USize_C sheet, std::vector<UPackedFrame_S> frames, uint32_t background,
                 int32_t extrude);

    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    // Fills `row` (room for GetWidth values) with row `y`.
    void Draw(int32_t y, uint32_t* row) const;

private:
    void DrawFrame(const UPackedFrame_S& frame, const URect_C& onSheet, int32_t y,
                   uint32_t* row) const;

    std::vector<UPackedFrame_S> frames;
    // The frames that reach each band of BandHeight rows, extrusion included, in frame order.
    std::vector<std::vector<int32_t>> bands;
    uint32_t background;
    int32_t extrude;
    int32_t width;
    int32_t height;
};

}  // namespace NS_Data
