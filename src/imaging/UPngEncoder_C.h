#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

// Writes an 8-bit RGBA PNG (colour type 6, no interlace). The rows are filtered and compressed
// in stripes on all cores; the stripes form one zlib stream, written in order while later
// stripes are still being compressed.
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

private:
    bool WriteHeader(std::FILE* file) const;

    uint32_t width;
    uint32_t height;
    RowSource source;
    Level level;
};
