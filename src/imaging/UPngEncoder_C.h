#pragma once

#include <cstdint>
#include <vector>

#include "imaging/USheetEncoder_C.h"

// Writes an 8-bit RGBA PNG (colour type 6, no interlace), or one of palette indices (colour type
// 3, with the colours' alpha in tRNS) when given the picture's colours, marked as Tavrin's in a
// tEXt chunk (SheetFile::IsOwnSheet). The rows are filtered and compressed in stripes on all
// cores; the stripes form one zlib stream, written in order while later stripes are still being
// compressed.
class UPngEncoder_C : public USheetEncoder_C {
public:
    // `width` and `height` at least 1 and below 2^31, else Write fails.
    UPngEncoder_C(uint32_t width, uint32_t height, RowSource source, Level level = Level::Default);

    Result Write(std::FILE* file, unsigned threads = 0) const override;
    // The most memory Write holds for a picture `width` wide on `threads`, in bytes.
    static uint64_t GetMemory(uint32_t width, unsigned threads);

    // Every colour of the picture, sorted, when there are at most 256 of them; else none.
    // Reads every row once, on the calling thread.
    static std::vector<uint32_t> FindPalette(uint32_t width, uint32_t height,
                                             const RowSource& source);
    // Write then stores indices into `colours`, which FindPalette found for this picture;
    // empty writes RGBA again.
    void SetPalette(std::vector<uint32_t> colours);
    // FindPalette and SetPalette on this picture; false, with RGBA kept, above 256 colours.
    bool UsePalette();

private:
    bool WriteHeader(std::FILE* file) const;
    bool WritePalette(std::FILE* file) const;

    uint32_t width;
    uint32_t height;
    RowSource source;
    Level level;
    std::vector<uint32_t> palette;
};
