#pragma once

#include <cstdint>
#include <functional>

#include "foundation/UError_C.h"
#include "foundation/USize_C.h"

// Reads the frames of a gif and composes each on the logical screen as browsers show it: frame
// offsets and per-frame transparency applied, pixels outside the screen dropped, and after each
// frame its disposal: "keep", "background" (its area cleared to transparent, whatever background
// colour the file names) or "previous" (the screen restored as it was before the frame). The
// screen starts transparent.
class UGifAnimation_C {
public:
    // One composed frame: size.width x size.height 0xAARRGGBB values, rows from the top, fully
    // transparent ones 0; and the frame's delay as the file gives it, in milliseconds.
    using UTakeFrame_F = std::function<void(const uint32_t* pixels, USize_C size, int32_t delay)>;

    // Hands every frame to `take`, in order. Returns false, handing on nothing, when the file
    // cannot be opened as a gif. A frame that cannot be read fails with user error 1 naming it
    // and the file; a file that ends after a whole frame simply ends.
    static bool ReadFrames(const char* path, const UTakeFrame_F& take);

    static const char* ClassName() { return "UGifAnimation_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code, const char* extra);
};
