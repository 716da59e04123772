#pragma once

#include <cstdint>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/UPackedFrame_S.h"
#include "foundation/USize_C.h"

namespace NS_Data {

// A sheet's rows, each drawn when asked for, straight from the pictures into the caller's row,
// so that the encoder reads the sheet without it ever being held whole, whatever the layout:
// every frame drawn on a sheet filled with the background, then every frame's edge pixels
// repeated `extrude` pixels outward. Frames must not
// overlap, extrusion included.
//
// With pixels.alphaBleed, over a transparent background, each frame's cell (the frame grown by
// its extrusion and half the `padding`, which no other frame's cell reaches) is drawn once
// beforehand and its fully transparent pixels coloured by BleedAlpha: the memory of the frames'
// pixels plus that ring. A background of any other value leaves no pixel to colour but one the
// user chose. With pixels.premultiply every row leaves premultiplied, so that a palette is made
// of premultiplied values. The pictures must stay alive and unchanged while rows are drawn; rows
// may be drawn on several threads at once.
class USheetRows_C {
public:
    USheetRows_C(USize_C sheet, std::vector<UPackedFrame_S> frames, uint32_t background,
                 int32_t extrude, const UPixelOptions_S& pixels = {}, int32_t padding = 0);

    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    // Fills `row` (room for GetWidth values) with row `y`.
    void Draw(int32_t y, uint32_t* row) const;

private:
    // Draws frame `index`, extruded, into the part of sheet row `y` from x = `left` on that
    // `row` holds, `count` values.
    void DrawExtruded(std::size_t index, int32_t y, uint32_t* row, int32_t left,
                      int32_t count) const;
    void DrawFrame(const UPackedFrame_S& frame, const URect_C& onSheet, int32_t y, uint32_t* row,
                   int32_t left, int32_t size) const;
    void BleedCells(int32_t margin);

    std::vector<UPackedFrame_S> frames;
    // The frames that reach each band of BandHeight rows, extrusion included, in frame order.
    std::vector<std::vector<int32_t>> bands;
    // Per frame when bleeding, its cell on the sheet and the cell's pixels drawn and bled.
    std::vector<URect_C> cells;
    std::vector<std::vector<uint32_t>> bled;
    uint32_t background;
    int32_t extrude;
    // How far beyond its frame a frame colours the sheet.
    int32_t reach;
    bool premultiply;
    int32_t width;
    int32_t height;
};

}  // namespace NS_Data
