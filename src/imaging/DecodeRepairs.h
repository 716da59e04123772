#pragma once

#include <span>

class QImage;

// Corrections for what Qt 6.4's decoders get wrong, applied to a freshly decoded picture given the
// bytes of its file. Each reads only the file's header and leaves other files alone.
namespace DecodeRepairs {

// PNGs that Qt 6.4 decodes wrongly are decoded again through libpng: 16-bit RGB ones with a
// tRNS colour key, whose rows it scrambles, and interlaced 1-bit ones, whose bits it leaves
// partly unwritten. `image` becomes null when libpng refuses the file.
void RedecodePng(QImage& image, std::span<const unsigned char> file);
// 16-bit BMPs: Qt widens 5- and 6-bit channels by shifting (31 -> 248) instead of scaling
// (31 -> 255), so white comes out grey.
void WidenBmpChannels(QImage& image, std::span<const unsigned char> file);
// Run-length BMPs: Qt leaves unwritten the pixels that move and end codes skip; they become
// transparent, and `image` ARGB.
void ClearBmpRunGaps(QImage& image, std::span<const unsigned char> file);

}  // namespace DecodeRepairs
