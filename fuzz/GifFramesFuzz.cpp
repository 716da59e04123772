// Any bytes as the frames of an animated gif: every frame composed on the screen (offsets,
// transparency, disposal, colour tables) and every pixel of it read. Screens above 256 x 256
// pixels are left out: every frame copies the screen, and a few thousand frames of larger ones
// would take seconds that other inputs should have. The picture loader's target never gets here,
// since it decodes first frames only.
#include <cstdint>
#include <span>

#include "foundation/UError_C.h"
#include "imaging/UGifAnimation_C.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 10 || int64_t{data[6] | data[7] << 8} * (data[8] | data[9] << 8) > 256 * 256) {
        return 0;
    }
    const auto take = [](const uint32_t* pixels, USize_C screen, int32_t) {
        // Every value is read, so that the sanitizers see a pixel the composing never wrote.
        volatile uint32_t mix = 0;
        for (int64_t i = 0; i < int64_t{screen.GetWidth()} * screen.GetHeight(); ++i) {
            mix = mix ^ pixels[i];
        }
    };
    try {
        UGifAnimation_C::ReadFrames(std::span<const unsigned char>(data, size), "input", take);
    } catch (const NS_Base::UError_C&) {
        // A damaged frame is refused; that is the reader's answer, not a fault.
    }
    return 0;
}
