#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

// What writes a sheet's file from rows drawn as it asks for them: the PNG and the lossless WebP
// writers share the way they get rows, their levels of effort and their results.
class USheetEncoder_C {
public:
    // Returns row `y` (from the top) as `width` 0xAARRGGBB values: either memory of its own that
    // stays valid during the call, or `scratch` (room for `width` values) filled. It is called
    // from several threads at once, each with its own scratch, and must not throw.
    using RowSource = std::function<const uint32_t*(uint32_t y, uint32_t* scratch)>;

    // How hard the writer works: `Fast` and `Default` give files about the size other common
    // writers give, `Best` the smallest within several times the default's time.
    enum class Level { Fast, Default, Best };
    enum class Result { Written, WriteFailed, NoMemory };

    virtual ~USheetEncoder_C() = default;

    // Writes the whole file at the file's position; on failure the file holds an unusable partial
    // picture. `threads` work at once, the calling one included; 0 means one per core.
    virtual Result Write(std::FILE* file, unsigned threads = 0) const = 0;
};
