#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// Run-length coded BMP pixel data (4 and 8 bits a pixel), walked without decoding: which pixels
// its codes leave out. Rows count from the bottom, as the file stores them.
namespace BmpRuns {

// Receives pixels `x0` to `x1` (excluded) of stored row `y` that no code writes.
using UGap_F = std::function<void(int64_t y, int64_t x0, int64_t x1)>;

// Walks the codes from `at` to the end mark, reporting every gap that moves and end marks leave
// (also the rest of the picture after the last code). True when the data ends before the end
// mark with rows still to cover. An empty `onGap` only asks for that answer.
bool Walk(std::span<const unsigned char> file, std::size_t at, int64_t width, int64_t height,
          bool fourBit, const UGap_F& onGap);

}  // namespace BmpRuns
