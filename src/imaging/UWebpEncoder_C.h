#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/USheetEncoder_C.h"

// Writes a lossless WebP through libwebp, every pixel as given: the colour under full
// transparency too, so that a reader gets back the values the PNG writer would store, and marks
// it as Tavrin's in an EXIF chunk (SheetFile::IsOwnSheet). Unlike the PNG writer it holds the
// whole picture, since libwebp's search looks at all of it, and the file, which libwebp's muxer
// assembles with the mark once the picture's memory is freed.
class UWebpEncoder_C : public USheetEncoder_C {
public:
    // The longest side a WebP holds.
    static constexpr uint32_t MaxSide = 16383;

    // `width` and `height` from 1 to MaxSide, else Write fails.
    UWebpEncoder_C(uint32_t width, uint32_t height, RowSource source, Level level = Level::Default);

    Result Write(std::FILE* file, unsigned threads = 0) const override;
    // About the most memory Write holds for a picture of `pixels` at `level`, in bytes.
    static uint64_t GetMemory(uint64_t pixels, Level level);

private:
    void Draw(uint32_t* pixels, std::size_t stride, unsigned threads) const;

    uint32_t width;
    uint32_t height;
    RowSource source;
    Level level;
};
