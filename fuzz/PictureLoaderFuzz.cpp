// Any bytes, as the picture loader meets them in a file: loaded, then every pixel read.
#include <QImageReader>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "foundation/UError_C.h"
#include "imaging/UImageData_C.h"

namespace {

// Pictures above this many pixels are left out: the loader's own limits, tested apart, would let
// each take seconds and gigabytes that the fuzzer should spend on other inputs.
constexpr int64_t MaxPixels = 1024 * 1024;

const std::string& InputPath() {
    static const std::string path = "/tmp/tavrin-fuzz-picture-" + std::to_string(getpid());
    static const int removal = std::atexit([] { unlink(InputPath().c_str()); });
    (void)removal;
    return path;
}

bool StoreInput(const uint8_t* data, std::size_t size) {
    FILE* file = std::fopen(InputPath().c_str(), "wb");
    const bool stored = file && std::fwrite(data, 1, size, file) == size;
    return file && std::fclose(file) == 0 && stored;
}

// The format that the first bytes name, of the four that the loader reads; null for none. Other
// files are left out: no other decoder of Qt's is this program's to test.
const char* FormatOf(const uint8_t* data, std::size_t size) {
    const std::string_view head(reinterpret_cast<const char*>(data), size);
    for (const auto& [magic, format] :
         {std::pair{"\x89PNG", "png"}, {"BM", "bmp"}, {"GIF8", "gif"}, {"\xFF\xD8", "jpeg"}}) {
        if (head.starts_with(magic)) {
            return format;
        }
    }
    return nullptr;
}

bool IsSmallEnough(const char* format) {
    // A top-down BMP announces a negative height.
    const QSize size = QImageReader(QString::fromStdString(InputPath()), format).size();
    return std::llabs(size.width()) * std::llabs(size.height()) <= MaxPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const char* format = FormatOf(data, size);
    if (!format || !StoreInput(data, size) || !IsSmallEnough(format)) {
        return 0;
    }
    UImageData_C image;
    try {
        image.LoadFile(InputPath().c_str());
        uint32_t* pixels = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        image.GetPixels32(pixels, &width, &height);
        // Every value is read, so that the sanitizers see a pixel the loader never wrote.
        volatile uint32_t mix = 0;
        for (int64_t i = 0; i < int64_t{width} * height; ++i) {
            mix = mix ^ pixels[i];
        }
    } catch (const NS_Base::UError_C&) {
        // A file that is no picture is refused; that is the loader's answer, not a fault.
    }
    return 0;
}
