#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <span>

#include "foundation/UError_C.h"
#include "foundation/USize_C.h"

// Reads the frames of a gif and composes each on the logical screen as browsers show it: frame
// offsets and per-frame transparency applied, pixels outside the screen dropped (a first frame
// larger than the screen too: the screen's size is the one every size check was made for), and
// after each frame its disposal: "keep", "background" (its area cleared to transparent, whatever
// background colour the file names) or "previous" (the screen restored as it was before the
// frame). The screen starts transparent; an index that the colour table lacks is opaque black,
// every index of a frame with neither its own table nor the file's too, the transparent one
// excepted. A frame without pixels shows the screen as it stands. Bytes that start no block end
// the animation, as a missing trailer does. Chromium 156's decoder shows all of these so.
class UGifAnimation_C {
public:
    // One composed frame: size.width x size.height 0xAARRGGBB values, rows from the top, fully
    // transparent ones 0; and the frame's delay as the file gives it, in milliseconds.
    using UTakeFrame_F = std::function<void(const uint32_t* pixels, USize_C size, int32_t delay)>;

    // Hands the first `count` frames of the gif `file` (all by default) to `take`, in order.
    // Returns false, handing on nothing, when the bytes are no gif or its screen is empty or
    // beyond the picture size limit. A frame that cannot be read fails with user error 1 naming
    // it and `path`; a file that ends after a whole frame simply ends. Memory running out fails
    // with system error 2 naming `path`.
    static bool ReadFrames(std::span<const unsigned char> file, const char* path,
                           const UTakeFrame_F& take,
                           int32_t count = std::numeric_limits<int32_t>::max());
    // The same for the file at `path`; false also when it cannot be read.
    static bool ReadFrames(const char* path, const UTakeFrame_F& take);

    static const char* ClassName() { return "UGifAnimation_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code, const char* extra);
};
