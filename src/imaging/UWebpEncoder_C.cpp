#include "imaging/UWebpEncoder_C.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/RunInParallel.h"
#include "imaging/SheetFile.h"

namespace {

using Level = UWebpEncoder_C::Level;
using Result = UWebpEncoder_C::Result;

// libwebp's lossless presets for each level, measured with cwebp -lossless -exact -mt on two
// cores, on the PNG sheets of bench/size-bench.py (size against Tavrin's PNG at the default level,
// wall time, peak memory per pixel):
//                      preset 1             preset 6 (libwebp's)  preset 9
//   frames128 2048²    0.790  0.62 s  17 B   0.729  1.31 s  21 B   0.389  3.61 s  42 B
//   photos 2240x2400   0.706  0.99 s  30 B   0.738  3.11 s  32 B   0.708  27.6 s  90 B
//   painted 1792²      0.703  1.04 s  26 B   0.643  2.09 s  29 B   0.630  12.2 s  71 B
//   noisy128 2048²     0.935  0.95 s  28 B   0.912  1.74 s  31 B   0.892  6.73 s  78 B
//   Pingus 2091x2620   0.990  2.44 s  25 B   0.915  5.78 s  29 B   0.697  39.5 s  66 B
//   frames64 4096²     1.011  6.03 s  16 B   0.795  8.89 s  21 B   0.430  23.0 s  39 B
// Only preset 9 (method 6, quality 100) tries every transform; the others take the one libwebp's
// entropy estimate picks, which on sprite sheets is a prediction that a plain subtract-green
// beats by half. It costs 3 to 9 times preset 6's time, so it is `best`'s; `default` keeps
// libwebp's own default, and `fast` preset 1 (preset 0 was 1.0 to 1.6 times the PNG's size).
int PresetFor(Level level) {
    switch (level) {
        case Level::Fast:
            return 1;
        case Level::Best:
            return 9;
        case Level::Default:
            break;
    }
    return 6;
}

Result ResultOf(WebPEncodingError error) {
    switch (error) {
        case VP8_ENC_OK:
            return Result::Written;
        case VP8_ENC_ERROR_OUT_OF_MEMORY:
        case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY:
            return Result::NoMemory;
        default:
            return Result::WriteFailed;
    }
}

// Frees the picture's memory however Write leaves.
struct UPicture_S {
    WebPPicture picture{};
    ~UPicture_S() { WebPPictureFree(&picture); }
};

// The encoded file in memory, and the file the muxer makes of it, freed however Write leaves.
struct UOutput_S {
    WebPMemoryWriter encoded{};
    WebPData assembled{};
    WebPMux* mux = nullptr;
    UOutput_S() {
        WebPMemoryWriterInit(&encoded);
        WebPDataInit(&assembled);
    }
    ~UOutput_S() {
        WebPMuxDelete(mux);
        WebPDataClear(&assembled);
        WebPMemoryWriterClear(&encoded);
    }
};

// Writes the encoded file with the mark added: the muxer puts the EXIF chunk after the image and
// flags it in a VP8X chunk before, 66 bytes in all (PNG: 33). It copies the file once; the encoded
// bytes are at most 4 per pixel, well within the 32 per pixel the picture took.
Result WriteMarked(UOutput_S& output, std::FILE* file) {
    const WebPData encoded{output.encoded.mem, output.encoded.size};
    output.mux = WebPMuxCreate(&encoded, 0);
    if (!output.mux) {
        return Result::NoMemory;
    }
    const std::vector<unsigned char> exif = SheetFile::SoftwareExif();
    const WebPData mark{exif.data(), exif.size()};
    WebPMuxError error = WebPMuxSetChunk(output.mux, "EXIF", &mark, 1);
    if (error == WEBP_MUX_OK) {
        error = WebPMuxAssemble(output.mux, &output.assembled);
    }
    if (error != WEBP_MUX_OK) {
        return error == WEBP_MUX_MEMORY_ERROR ? Result::NoMemory : Result::WriteFailed;
    }
    const std::size_t size = output.assembled.size;
    return std::fwrite(output.assembled.bytes, 1, size, file) == size ? Result::Written
                                                                      : Result::WriteFailed;
}

}  // namespace

UWebpEncoder_C::UWebpEncoder_C(uint32_t newWidth, uint32_t newHeight, RowSource newSource,
                               Level newLevel)
    : width(newWidth), height(newHeight), source(std::move(newSource)), level(newLevel) {}

Result UWebpEncoder_C::Write(std::FILE* file, unsigned threads) const {
    if (!file || width == 0 || height == 0 || width > MaxSide || height > MaxSide || !source) {
        return Result::WriteFailed;
    }
    WebPConfig config;
    UPicture_S held;
    WebPPicture& picture = held.picture;
    if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, PresetFor(level)) ||
        !WebPPictureInit(&picture)) {
        return Result::WriteFailed;
    }
    config.exact = 1;
    config.thread_level = threads != 1;
    picture.use_argb = 1;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    if (!WebPPictureAlloc(&picture)) {
        return Result::NoMemory;
    }
    Draw(picture.argb, static_cast<std::size_t>(picture.argb_stride),
         threads == 0 ? GetWorkerThreads() : threads);
    UOutput_S output;
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &output.encoded;
    if (!WebPEncode(&config, &picture)) {
        // The only write that can fail is the memory writer's growth.
        const bool grew = picture.error_code != VP8_ENC_ERROR_BAD_WRITE;
        return grew ? ResultOf(picture.error_code) : Result::NoMemory;
    }
    WebPPictureFree(&picture);
    return WriteMarked(output, file);
}

void UWebpEncoder_C::Draw(uint32_t* pixels, std::size_t stride, unsigned threads) const {
    // The rows in bands, so that each thread's drawing stays in its own pages.
    constexpr uint32_t Band = 64;
    RunInParallel((height + Band - 1) / Band,
                  [&](std::size_t band) {
                      const uint32_t first = static_cast<uint32_t>(band) * Band;
                      for (uint32_t y = first; y < std::min(height, first + Band); ++y) {
                          uint32_t* row = pixels + y * stride;
                          const uint32_t* given = source(y, row);
                          if (given != row) {
                              std::memcpy(row, given, std::size_t{width} * sizeof(uint32_t));
                          }
                      }
                  },
                  threads);
}

uint64_t UWebpEncoder_C::GetMemory(uint64_t pixels, Level level) {
    // The measured peaks above, rounded up, came 4 to 10% short of whole runs of Tavrin (its
    // own buffers beside libwebp's): a fifth more, 39 and 116 bytes a pixel, stays above both.
    return pixels * (level == Level::Best ? 116 : 39);
}
