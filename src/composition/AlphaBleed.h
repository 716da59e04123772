#pragma once

#include <cstdint>

namespace NS_Data {

// Gives every fully transparent value of the `width` x `height` ARGB values at `pixels` (row by
// row) the colour of the nearest value whose alpha is not 0, by straight-line distance, keeping
// its alpha 0; values with alpha are left as they are. Without any such value nothing changes.
// Linear filtering then mixes only the frame's own colours into its edge.
void BleedAlpha(uint32_t* pixels, int32_t width, int32_t height);

// `argb` with each colour multiplied by its alpha, rounded to the nearest level.
//
// Nearest, not truncated: c * a / 255 is never exactly halfway, so this is the value a GPU
// premultiplying in floating point would store. Read back as round(p * 255 / a), a colour comes
// back within 1 level at alpha >= 128 (truncating: 2), and at any alpha >= 1 within 127, the
// least 8 bits allow at alpha 1 (truncating: 254).
inline uint32_t Premultiply(uint32_t argb) {
    const uint32_t alpha = argb >> 24;
    const auto scale = [alpha](uint32_t colour) { return (colour * alpha + 127) / 255; };
    return alpha << 24 | scale(argb >> 16 & 0xFF) << 16 | scale(argb >> 8 & 0xFF) << 8 |
           scale(argb & 0xFF);
}

}  // namespace NS_Data
