#pragma once

#include <span>

class QImage;

// Corrections for what Qt 6.4's decoders get wrong, applied to a freshly decoded picture given the
// bytes of its file. Each reads only the file's header and leaves other files alone.
namespace DecodeRepairs {

// 16-bit RGB PNGs with a tRNS colour key: Qt 6.4 scrambles their rows, so they are decoded
// again through libpng; `image` becomes null when that fails.
void ApplyPngColourKey(QImage& image, std::span<const unsigned char> file);
// 16-bit BMPs: Qt widens 5- and 6-bit channels by shifting (31 -> 248) instead of scaling
// (31 -> 255), so white comes out grey.
void WidenBmpChannels(QImage& image, std::span<const unsigned char> file);

}  // namespace DecodeRepairs
