#include "composition/USheetLimits_C.h"

#include <sys/resource.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>

#include "foundation/RunInParallel.h"
#include "foundation/ShownText.h"
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

constexpr uint64_t Unlimited = std::numeric_limits<uint64_t>::max();

// The first number in the file at `path`, as the kernel's own files write them; false when there
// is none (such as a cgroup's "max").
bool ReadNumber(const std::string& path, uint64_t& value) {
    std::FILE* file = std::fopen(path.c_str(), "re");
    if (!file) {
        return false;
    }
    unsigned long long number = 0;
    const bool read = std::fscanf(file, "%llu", &number) == 1;
    std::fclose(file);
    value = number;
    return read;
}

// The value of the line "`key`: N kB" of a /proc file, in bytes; Unlimited when it has none.
uint64_t ReadKibLine(const char* path, const char* key) {
    uint64_t bytes = Unlimited;
    std::FILE* file = std::fopen(path, "re");
    if (!file) {
        return bytes;
    }
    const std::string format = std::string(key) + ": %llu kB";
    char line[256];
    unsigned long long kib = 0;
    while (std::fgets(line, sizeof line, file)) {
        if (std::sscanf(line, format.c_str(), &kib) == 1) {
            bytes = uint64_t{kib} * 1024;
            break;
        }
    }
    std::fclose(file);
    return bytes;
}

// What `ulimit -v` leaves: the limit less the address space mapped now, and less the stacks of
// the threads that decode and encode, each mapped whole (8 MiB by default) while it runs.
uint64_t AddressSpaceLeft() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return Unlimited;
    }
    const uint64_t mapped = ReadKibLine("/proc/self/status", "VmSize");
    if (mapped == Unlimited) {
        return Unlimited;
    }
    const uint64_t stacks = uint64_t{GetWorkerThreads()} << 23;
    const uint64_t used = mapped + stacks;
    return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

// What the cgroup v2 memory limits leave: the tightest of this process's group and those above
// it, each its memory.max less its memory.current; groups without a limit say "max".
uint64_t CgroupLeft() {
    std::FILE* file = std::fopen("/proc/self/cgroup", "re");
    if (!file) {
        return Unlimited;
    }
    char line[4096];
    std::string group;
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, "0::", 3) == 0) {
            group.assign(line + 3, std::strcspn(line + 3, "\n"));
        }
    }
    std::fclose(file);
    uint64_t left = Unlimited;
    while (!group.empty() && group != "/") {
        const std::string folder = "/sys/fs/cgroup" + group + "/";
        uint64_t limit = 0;
        uint64_t current = 0;
        if (ReadNumber(folder + "memory.max", limit) &&
            ReadNumber(folder + "memory.current", current)) {
            left = std::min(left, limit > current ? limit - current : 0);
        }
        group.erase(group.rfind('/'));
    }
    return left;
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

// The largest packed sheet of pictures of `sizes`: the packer puts no two boxes side by side
// that it could put elsewhere, so a side never passes every box's longer side in a line, spaced
// as packing spaces them, rounded up as the sheet is and within the largest side.
int64_t PackedSide(const std::vector<USize_C>& sizes, const USheetOptions_S& options) {
    int64_t side = 2 * int64_t{options.border};
    for (const USize_C& size : sizes) {
        side += std::max(size.GetWidth(), size.GetHeight()) + 2 * int64_t{options.extrude} +
                options.padding;
    }
    if (options.powerOfTwo) {
        side =
            static_cast<int64_t>(std::bit_ceil(static_cast<uint64_t>(std::max<int64_t>(side, 1))));
    }
    return std::min(side, USheetLimits_C::GetLargestPackedSide(options));
}

// The pixels of a packed sheet: every box with its spacing, at most the whole square sheet.
uint64_t PackedArea(const std::vector<USize_C>& sizes, const USheetOptions_S& options,
                    int64_t side) {
    const uint64_t grow = 2 * uint64_t(options.extrude) + uint64_t(options.padding);
    uint64_t area = 0;
    for (const USize_C& size : sizes) {
        area += (uint64_t(size.GetWidth()) + grow) * (uint64_t(size.GetHeight()) + grow);
    }
    return std::min(area, uint64_t(side) * uint64_t(side));
}

// Bytes in memory at the worst moment: every picture held as ARGB, plus either the pictures
// still loading (each the decoder's picture, 8 bytes a pixel from 16-bit files, and its ARGB
// copy), or the encoder's work: a PNG's on a sheet `sheetWidth` wide, whose rows are drawn as it
// goes, or a WebP's on the whole sheet of `sheetPixels`.
// Bled cells are held while the sheet is written: each picture at most, with its ring, and per
// thread the nearest rows of the cell it bleeds.
uint64_t BleedMemory(const std::vector<USize_C>& sizes, const UComposeOptions_S& options) {
    if (!options.pixels.alphaBleed) {
        return 0;
    }
    const uint64_t ring = 2 * uint64_t(options.sheet.extrude + options.sheet.padding / 2);
    uint64_t cells = 0;
    uint64_t largest = 0;
    for (const USize_C& size : sizes) {
        const uint64_t area = (size.GetWidth() + ring) * (size.GetHeight() + ring);
        cells += area;
        largest = std::max(largest, area);
    }
    return 4 * cells + 4 * largest * GetWorkerThreads();
}

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
            ? UWebpEncoder_C::GetMemory(sheetPixels, options.encoding.compression)
            : UPngEncoder_C::GetMemory(static_cast<uint32_t>(sheetWidth), GetWorkerThreads());
    return 4 * pictures + std::max(loading, encoding + BleedMemory(sizes, options));
}

// What is needed is rounded up and what is available down, so the two never read the same.
std::string MebiBytes(uint64_t bytes, bool roundUp) {
    return std::to_string((bytes + (roundUp ? (1 << 20) - 1 : 0)) >> 20) + " MiB";
}

}  // namespace

uint64_t USheetLimits_C::GetBatchMemory(const std::vector<USize_C>& sizes,
                                        const UComposeOptions_S& options, std::string& sheet) {
    // The grid's sheet is known from the whole areas; a packed one is bounded by them.
    int64_t width = 0;
    uint64_t area = 0;
    sheet = NS_Base::ShownText("USheetLimits_C", "a packed sheet");
    if (options.layout == ULayout_E::Packed) {
        width = PackedSide(sizes, options.sheet);
        area = PackedArea(sizes, options.sheet, width);
    } else {
        const USheetLayout_S layout = BoundingLayout(sizes, options.layout, options.sheet);
        CheckSheet(layout);
        width = layout.GetWidth();
        area = uint64_t(layout.GetWidth()) * uint64_t(layout.GetHeight());
        sheet = std::to_string(layout.GetWidth()) + " x " + std::to_string(layout.GetHeight());
    }
    return ComposeMemory(sizes, width, area, options);
}

void USheetLimits_C::CheckBatch(const std::vector<USize_C>& sizes, const UComposeOptions_S& options,
                                uint64_t availableBytes) {
    std::string sheet;
    const uint64_t needed = GetBatchMemory(sizes, options, sheet);
    if (needed > availableBytes) {
        RefuseMemory(sheet, sizes.size(), needed, availableBytes);
    }
}

void USheetLimits_C::RefuseMemory(const std::string& sheet, std::size_t pictures, uint64_t needed,
                                  uint64_t availableBytes) {
    const std::string text = NS_Base::FillIn(
        NS_Base::ShownText("USheetLimits_C", "%1 from %2 pictures needs %3, %4 available"),
        {sheet, std::to_string(pictures), MebiBytes(needed, true),
         MebiBytes(availableBytes, false)});
    throw MakeError(5, text.c_str());
}

UMemoryClaim_C USheetLimits_C::CheckBatchFiles(const std::vector<std::string>& paths,
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
    std::string sheet;
    const uint64_t needed = GetBatchMemory(pictures, options, sheet);
    UMemoryClaim_C claim;
    if (!UMemoryClaim_C::Claim(needed, &AvailableMemory, claim)) {
        RefuseMemory(sheet, pictures.size(), needed, AvailableMemory());
    }
    return claim;
}

uint64_t USheetLimits_C::AvailableMemory() {
    const uint64_t kernel = ReadKibLine("/proc/meminfo", "MemAvailable");
    return std::min({kernel, AddressSpaceLeft(), CgroupLeft()});
}

void USheetLimits_C::CheckSheet(const USheetLayout_S& layout, int64_t maxSide) {
    if (!layout.cell.IsNotEmpty() || layout.columns <= 0 || layout.rows <= 0) {
        throw MakeError(2);
    }
    const int64_t width = layout.GetWidth();
    const int64_t height = layout.GetHeight();
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    // Every cell is as large as the largest picture; packing gives each picture its own size.
    const auto suggest = [&](const std::string& text) {
        return layout.columns * layout.rows > 1
                   ? NS_Base::FillIn(NS_Base::ShownText("USheetLimits_C",
                                                        "%1; --layout packed packs pictures of "
                                                        "different sizes tightly"),
                                     {text})
                   : text;
    };
    // Each side is checked first so that their product cannot overflow 64 bits.
    if (width > MaxSheetSide || height > MaxSheetSide || width * height > MaxSheetPixels) {
        throw MakeError(4, suggest(size).c_str());
    }
    if (maxSide > 0 && (width > maxSide || height > maxSide)) {
        const std::string limit = NS_Base::FillIn(
            NS_Base::ShownText("USheetLimits_C", "%1, limit %2"), {size, std::to_string(maxSide)});
        throw MakeError(6, suggest(limit).c_str());
    }
}

int64_t USheetLimits_C::GetLargestPackedSide(const USheetOptions_S& options) {
    const int64_t side =
        options.maxSize > 0 ? std::min(options.maxSize, MaxSheetSide) : CommonTextureSide;
    return options.powerOfTwo ? static_cast<int64_t>(std::bit_floor(static_cast<uint64_t>(side)))
                              : side;
}

void USheetLimits_C::RefuseUnfitting(const std::string& extra) {
    throw MakeError(7, extra.c_str());
}

void USheetLimits_C::RefuseLargePicture(const std::string& extra) {
    throw MakeError(8, extra.c_str());
}

NS_Base::UError_C USheetLimits_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {2, TR_NOOP("UError_C", "无法生成有效图片,有可能因为图片上全是透明色.")},
        {4, TR_NOOP("UError_C", "The sheet is too large to compose:")},
        {5, TR_NOOP("UError_C", "Not enough memory to compose the sheet:")},
        {6, TR_NOOP("UError_C", "The sheet is larger than the size limit:")},
        {7, TR_NOOP("UError_C",
                    "The pictures do not fit one sheet (--multipack spreads them over several):")},
        {8, TR_NOOP("UError_C", "A picture is larger than the largest sheet:")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, extra);
}

}  // namespace NS_Data
