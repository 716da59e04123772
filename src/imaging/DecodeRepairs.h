#pragma once

#include <span>

class QImage;
class UPictureHeader_C;

// What Qt 6.4's decoders get wrong, told from the header already parsed, and corrected on a
// freshly decoded picture. Each leaves other files alone.
namespace DecodeRepairs {

// PNGs that Qt 6.4 decodes wrongly, which go to libpng instead: 16-bit RGB ones with a tRNS
// colour key, whose rows it scrambles, and interlaced 1-bit ones, whose bits it leaves partly
// unwritten.
bool QtMisreadsPng(const UPictureHeader_C& header);
// 16-bit BMPs: Qt widens 5- and 6-bit channels by shifting (31 -> 248) instead of scaling
// (31 -> 255), so white comes out grey.
void WidenBmpChannels(QImage& image, const UPictureHeader_C& header);
// Run-length BMPs: Qt leaves unwritten the pixels that move and end codes skip; they become
// transparent, and `image` ARGB. `file` is the whole file the header was read from.
void ClearBmpRunGaps(QImage& image, const UPictureHeader_C& header,
                     std::span<const unsigned char> file);

}  // namespace DecodeRepairs
