#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

// Writes an 8-bit RGBA PNG (colour type 6, no interlace) over zlib alone. Large pictures are
// filtered and compressed as two halves on two threads that form one deflate stream, so the file
// is the same size as a single-threaded one and any decoder reads it.
class UPngEncoder_C {
public:
    // Returns row `y` (from the top) as `width` 0xAARRGGBB values: either memory of its own that
    // stays valid during the call, or `scratch` (room for `width` values) filled. It is called
    // from two threads at once, each with its own scratch, and must not throw.
    using RowSource = std::function<const uint32_t*(uint32_t y, uint32_t* scratch)>;

    // `width` and `height` at least 1 and below 2^31, else Write fails.
    UPngEncoder_C(uint32_t width, uint32_t height, RowSource source);

    // Writes the whole file at the file's position; false on any failure, after which the file
    // holds an unusable partial picture. With `split` false the rows are compressed as one stream
    // on the calling thread.
    bool Write(std::FILE* file, bool split = true) const;

private:
    bool WriteHeader(std::FILE* file) const;
    bool WriteData(std::FILE* file, bool split) const;

    uint32_t width;
    uint32_t height;
    RowSource source;
};
