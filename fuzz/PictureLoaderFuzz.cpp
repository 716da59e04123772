// Any bytes, as the picture loader meets them in a file: loaded, then every pixel read. Only
// inputs that start like one of the four formats it reads count (no other decoder of Qt's is
// this program's to test), and only up to a megapixel: the loader's own limits, tested apart,
// would let larger ones take seconds and gigabytes that other inputs should have.
#include <QImageReader>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "foundation/UError_C.h"
#include "imaging/UImageData_C.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/tavrin-fuzz-picture-" + std::to_string(getpid());
    static const int removal = std::atexit([] { unlink(path.c_str()); });
    (void)removal;
    const char* format = FormatOf(data, size);
    FILE* file = format ? std::fopen(path.c_str(), "wb") : nullptr;
    if (!file) {
        return 0;
    }
    const bool stored = std::fwrite(data, 1, size, file) == size;
    // A top-down BMP announces a negative height.
    const auto pixels = [&](QSize shown) {
        return std::llabs(shown.width()) * std::llabs(shown.height());
    };
    if (std::fclose(file) != 0 || !stored ||
        pixels(QImageReader(QString::fromStdString(path), format).size()) > 1024 * 1024) {
        return 0;
    }
    UImageData_C image;
    try {
        image.LoadFile(path.c_str());
        uint32_t* values = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        image.GetPixels32(values, &width, &height);
        // Every value is read, so that the sanitizers see a pixel the loader never wrote.
        volatile uint32_t mix = 0;
        for (int64_t i = 0; i < int64_t{width} * height; ++i) {
            mix = mix ^ values[i];
        }
    } catch (const NS_Base::UError_C&) {
        // A file that is no picture is refused; that is the loader's answer, not a fault.
    }
    return 0;
}
