#pragma once

#include <span>

class QImage;

// Decoding PNGs through libpng straight into 32-bit ARGB, for the files where Qt's reader falls
// short. `image` comes sized as the file's header declares; a file of another size, or one
// libpng refuses, gives false and leaves rows of `image` undefined.
namespace PngReader {

// Any PNG, with a colour key turned into alpha and 16-bit channels scaled to 8 bits.
bool ReadRgba(std::span<const unsigned char> file, QImage& image);
// Only 8-bit RGB without a colour key, and 8-bit RGBA: the pictures sheets are mostly made of,
// whose ARGB values are the file's own bytes. Qt's reader gives the same pixels but, per file,
// looks up its image plugins under one lock, which keeps pictures from decoding in parallel:
// 4096 one-pixel PNGs took 78 ms through it, 38 ms through this.
bool ReadTrueColour(std::span<const unsigned char> file, QImage& image);

}  // namespace PngReader
