#include "composition/USheetLimits_C.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "foundation/RunInParallel.h"
#include "imaging/SheetFile.h"
#include "imaging/UImageData_C.h"
#include "imaging/UPngEncoder_C.h"
#include "imaging/UWebpEncoder_C.h"

namespace NS_Data {
namespace {

// The pixel buffer, the image and the PNG writer address a sheet's sides and its bytes with
// 32-bit signed sizes.
constexpr int64_t MaxSheetSide = std::numeric_limits<int32_t>::max();
constexpr int64_t MaxSheetPixels = std::numeric_limits<int32_t>::max() / 4;

// What the kernel expects it can hand out without swapping; unlimited where it does not say.
uint64_t AvailableMemory() {
    uint64_t available = std::numeric_limits<uint64_t>::max();
    std::FILE* file = std::fopen("/proc/meminfo", "re");
    if (!file) {
        return available;
    }
    char line[128];
    unsigned long long kib = 0;
    while (std::fgets(line, sizeof line, file)) {
        if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
            available = uint64_t{kib} * 1024;
            break;
        }
    }
    std::fclose(file);
    return available;
}

// The layout of pictures of `sizes` by their whole areas: with trimming, the largest the sheet
// can be.
USheetLayout_S BoundingLayout(const std::vector<USize_C>& sizes, ULayout_E layout,
                              const USheetOptions_S& options) {
    std::vector<URect_C> areas;
    areas.reserve(sizes.size());
    for (const USize_C& size : sizes) {
        areas.push_back(URect_C::FromSize(size));
    }
    return USheetLayout_S::Plan(areas, layout, options);
}

// Bytes in memory at the worst moment: every picture held as ARGB, plus either the pictures
// still loading (each the decoder's picture, 8 bytes a pixel from 16-bit files, and its ARGB
// copy), or the encoder's work: a PNG's on a sheet `sheetWidth` wide, whose rows are drawn as it
// goes, or a WebP's on the whole sheet of `sheetPixels`, 0 for a packed one, which holds at
// least every picture's area.
uint64_t ComposeMemory(const std::vector<USize_C>& sizes, int64_t sheetWidth, uint64_t sheetPixels,
                       const UComposeOptions_S& options) {
    uint64_t pictures = 0;
    uint64_t largest = 0;
    for (const USize_C& size : sizes) {
        const uint64_t area = uint64_t(size.GetWidth()) * uint64_t(size.GetHeight());
        pictures += area;
        largest = std::max(largest, area);
    }
    const uint64_t decoders = std::min<uint64_t>(GetWorkerThreads(), sizes.size());
    const uint64_t loading = decoders * 12 * largest;
    const uint64_t encoding =
        SheetFile::FormatOf(options.output.c_str()) == USheetFormat_E::Webp
            ? UWebpEncoder_C::GetMemory(sheetPixels > 0 ? sheetPixels : pictures,
                                        options.encoding.compression)
            : UPngEncoder_C::GetMemory(static_cast<uint32_t>(sheetWidth), GetWorkerThreads());
    return 4 * pictures + std::max(loading, encoding);
}

// What is needed is rounded up and what is available down, so the two never read the same.
std::string MebiBytes(uint64_t bytes, bool roundUp) {
    return std::to_string((bytes + (roundUp ? (1 << 20) - 1 : 0)) >> 20) + " MiB";
}

}  // namespace

void USheetLimits_C::CheckBatch(const std::vector<USize_C>& sizes, const UComposeOptions_S& options,
                                uint64_t availableBytes) {
    // A packed sheet is no wider than its largest side allows; the grid's is known from the
    // whole areas.
    int64_t width = options.sheet.maxSize > 0 ? options.sheet.maxSize : CommonTextureSide;
    std::string sheet = "a packed sheet";
    uint64_t area = 0;
    if (options.layout != ULayout_E::Packed) {
        const USheetLayout_S layout = BoundingLayout(sizes, options.layout, options.sheet);
        CheckSheet(layout);
        width = layout.GetWidth();
        area = uint64_t(layout.GetWidth()) * uint64_t(layout.GetHeight());
        sheet = std::to_string(layout.GetWidth()) + " x " + std::to_string(layout.GetHeight());
    }
    const uint64_t needed = ComposeMemory(sizes, width, area, options);
    if (needed > availableBytes) {
        const std::string text = sheet + " from " + std::to_string(sizes.size()) +
                                 " pictures needs " + MebiBytes(needed, true) + ", " +
                                 MebiBytes(availableBytes, false) + " available";
        throw MakeError(5, text.c_str());
    }
}

void USheetLimits_C::CheckBatchFiles(const std::vector<std::string>& paths,
                                     const UComposeOptions_S& options) {
    // Read on every core; the failure raised is the first in path order, as in one pass.
    std::vector<USize_C> sizes(paths.size());
    std::vector<int32_t> frames(paths.size(), 1);
    RunInParallel(paths.size(), [&](std::size_t i) {
        sizes[i] =
            UImageData_C::ReadHeader(paths[i].c_str(), options.allGifFrames ? &frames[i] : nullptr);
    });
    std::vector<USize_C> pictures;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        pictures.insert(pictures.end(), static_cast<std::size_t>(frames[i]), sizes[i]);
    }
    CheckBatch(pictures, options, AvailableMemory());
}

void USheetLimits_C::CheckSheet(const USheetLayout_S& layout, int64_t maxSide) {
    if (!layout.cell.IsNotEmpty() || layout.columns <= 0 || layout.rows <= 0) {
        throw MakeError(2);
    }
    const int64_t width = layout.GetWidth();
    const int64_t height = layout.GetHeight();
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    // Each side is checked first so that their product cannot overflow 64 bits.
    if (width > MaxSheetSide || height > MaxSheetSide || width * height > MaxSheetPixels) {
        throw MakeError(4, size.c_str());
    }
    if (maxSide > 0 && (width > maxSide || height > maxSide)) {
        throw MakeError(6, (size + ", limit " + std::to_string(maxSide)).c_str());
    }
}

void USheetLimits_C::RefuseUnfitting(const std::string& extra) {
    throw MakeError(7, extra.c_str());
}

NS_Base::UError_C USheetLimits_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {2, "无法生成有效图片,有可能因为图片上全是透明色."},
        {4, "The sheet is too large to compose:"},
        {5, "Not enough memory to compose the sheet:"},
        {6, "The sheet is larger than the size limit:"},
        {7, "The pictures do not fit one sheet (--multipack spreads them over several):"},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, extra);
}

}  // namespace NS_Data
