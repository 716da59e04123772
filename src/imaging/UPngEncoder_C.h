#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

// Writes an 8-bit RGBA PNG (colour type 6, no interlace), or one of palette indices (colour type
// 3, with the colours' alpha in tRNS) when given the picture's colours. The rows are filtered and
// compressed in stripes on all cores; the stripes form one zlib stream, written in order while
// later stripes are still being compressed.
class UPngEncoder_C {
public:
    // Returns row `y` (from the top) as `width` 0xAARRGGBB values: either memory of its own that
    // stays valid during the call, or `scratch` (room for `width` values) filled. It is called
    // from several threads at once, each with its own scratch, and must not throw.
    using RowSource = std::function<const uint32_t*(uint32_t y, uint32_t* scratch)>;

    // How hard deflate works: `Fast` and `Default` give files about the size other common
    // writers give, `Best` the smallest within several times the default's time.
    enum class Level { Fast, Default, Best };
    enum class Result { Written, WriteFailed, NoMemory };

    // `width` and `height` at least 1 and below 2^31, else Write fails.
    UPngEncoder_C(uint32_t width, uint32_t height, RowSource source, Level level = Level::Default);

    // Writes the whole file at the file's position; on failure the file holds an unusable partial
    // picture. `threads` compress at once, the calling one included; 0 means one per core.
    Result Write(std::FILE* file, unsigned threads = 0) const;
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
