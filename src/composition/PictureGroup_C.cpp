#include "composition/PictureGroup_C.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

#include "files/PathUtilities.h"
#include "foundation/UString_C.h"
#include "imaging/UImageData_C.h"

namespace NS_Data {
namespace {

using NS_GroupElementDeclare::Picture_S;

// The pixel buffer, the image and the PNG writer address a sheet's sides and its bytes with
// 32-bit signed sizes.
constexpr int64_t MaxSheetSide = std::numeric_limits<int32_t>::max();
constexpr int64_t MaxSheetPixels = std::numeric_limits<int32_t>::max() / 4;

// The picture's pixels with every fully transparent one made 0: drawing over a transparent
// buffer copies visible values unchanged and skips the others.
UPixels_C LoadPixels(const char* path) {
    UImageData_C image;
    image.LoadFile(path);
    uint32_t* values = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    image.GetPixels32(values, &width, &height);
    // The decoded picture is no longer needed; the copy in `values` stays with `image`.
    image.Release();
    UPixels_C pixels;
    pixels.SetSize(USize_C(width, height));
    pixels.Fill(0);
    UPixels_C loaded;
    loaded.AttachView(values, 0, 0, width, height);
    pixels.Draw(loaded, 0);
    return pixels;
}

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

// The layout of `sizes` pictures by their whole areas.
USheetLayout_S BoundingLayout(const std::vector<USize_C>& sizes, int mode) {
    URect_C cell;
    for (const USize_C& size : sizes) {
        const URect_C area = URect_C::FromSize(size);
        if (area.IsNotEmpty()) {
            cell = cell.IsNotEmpty() ? cell.Union(area) : area;
        }
    }
    const auto count = static_cast<int32_t>(sizes.size());
    switch (mode) {
        case PictureGroup_C::Horizontal:
            return {cell, count, 1};
        case PictureGroup_C::Vertical:
            return {cell, 1, count};
        default:
            return PictureGroup_C::SearchGrid(cell, count);
    }
}

// Bytes in memory at the worst moment: every picture held as ARGB, plus either the last one
// loading (the decoder's picture, 8 bytes a pixel from 16-bit files, its ARGB copy, and the
// group's copy) or the sheet and the image made from it.
uint64_t ComposeMemory(const std::vector<USize_C>& sizes, const USheetLayout_S& layout) {
    uint64_t pictures = 0;
    uint64_t largest = 0;
    for (const USize_C& size : sizes) {
        const uint64_t area = uint64_t(size.GetWidth()) * uint64_t(size.GetHeight());
        pictures += area;
        largest = std::max(largest, area);
    }
    const uint64_t sheet = uint64_t(layout.GetWidth()) * uint64_t(layout.GetHeight());
    return 4 * pictures + std::max(12 * largest, 8 * sheet);
}

std::string MebiBytes(uint64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

}  // namespace

bool PictureGroup_C::IsPictureFile(const char* path) {
    if (!path) {
        return false;
    }
    for (const char* extension : {"bmp", "png", "jpg", "gif"}) {
        if (HasExtension(path, extension)) {
            return true;
        }
    }
    return false;
}

void PictureGroup_C::AddPicture(const char* path) {
    const UString_C file(path);
    UPixels_C pixels = LoadPixels(file.GetString());
    const URect_C content = pixels.GetContentRect();
    // The element is appended only once the picture is whole, so a failed load adds nothing.
    const UIdentifier_C added = AddData();
    Picture_S& picture = GetData(added);
    picture.pixels = std::move(pixels);
    picture.contentRect = content;
}

void PictureGroup_C::CheckBatch(const std::vector<USize_C>& sizes, int mode,
                                uint64_t availableBytes) const {
    const USheetLayout_S layout = BoundingLayout(sizes, mode);
    CheckSheet(layout);
    const uint64_t needed = ComposeMemory(sizes, layout);
    if (needed > availableBytes) {
        const std::string text =
            std::to_string(layout.GetWidth()) + " x " + std::to_string(layout.GetHeight()) +
            " from " + std::to_string(sizes.size()) + " pictures needs " + MebiBytes(needed) +
            ", " + MebiBytes(availableBytes) + " available";
        throw MakeError(5, text.c_str());
    }
}

void PictureGroup_C::CheckBatchFiles(const std::vector<std::string>& paths, int mode) const {
    std::vector<USize_C> sizes;
    sizes.reserve(paths.size());
    for (const std::string& path : paths) {
        sizes.push_back(UImageData_C::ReadHeader(path.c_str()));
    }
    CheckBatch(sizes, mode, AvailableMemory());
}

void PictureGroup_C::Compose(const char* outputPath, uint32_t background, int mode, bool autoCut) {
    const UString_C path(outputPath);
    const USheetLayout_S layout = ComputeLayout(mode, autoCut);
    CheckSheet(layout);
    UImageData_C image;
    {
        // Freed as soon as the image holds its copy, so the sheet is in memory twice at most.
        const UPixels_C sheet = DrawSheet(layout, background);
        image.CreateFromPixels32(sheet.GetData(), sheet.GetSize().GetWidth(),
                                 sheet.GetSize().GetHeight());
    }
    image.SavePng(path.GetString());
}

USheetLayout_S PictureGroup_C::ComputeHorizontal(bool autoCut) {
    return {ComputeCell(autoCut), GetCount(), 1};
}

USheetLayout_S PictureGroup_C::ComputeVertical(bool autoCut) {
    return {ComputeCell(autoCut), 1, GetCount()};
}

USheetLayout_S PictureGroup_C::ComputeMultiRow(bool autoCut) {
    return SearchGrid(ComputeCell(autoCut), GetCount());
}

USheetLayout_S PictureGroup_C::SearchGrid(const URect_C& cell, int32_t count) {
    const int64_t cellWidth = cell.GetWidth();
    const int64_t cellHeight = cell.GetHeight();
    USheetLayout_S best{cell, 0, 0};
    int64_t bestDistance = -1;
    // Falling from `count` and replacing only on a strictly smaller distance keeps the larger
    // column count among equals.
    for (int64_t columns = count; columns >= 1; --columns) {
        const int64_t rows = (count + columns - 1) / columns;
        const int64_t distance = std::llabs(cellWidth * columns - cellHeight * rows);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best.columns = columns;
            best.rows = rows;
        }
    }
    return best;
}

URect_C PictureGroup_C::ComputeCell(bool autoCut) {
    URect_C cell;
    for (UIdentifier_C id = GetFirst(); id.IsValid(); id.Next()) {
        const Picture_S& picture = GetData(id);
        const URect_C area =
            autoCut ? picture.contentRect : URect_C::FromSize(picture.pixels.GetSize());
        if (area.IsNotEmpty()) {
            cell = cell.IsNotEmpty() ? cell.Union(area) : area;
        }
    }
    return cell;
}

USheetLayout_S PictureGroup_C::ComputeLayout(int mode, bool autoCut) {
    switch (mode) {
        case Horizontal:
            return ComputeHorizontal(autoCut);
        case Vertical:
            return ComputeVertical(autoCut);
        default:
            return ComputeMultiRow(autoCut);
    }
}

void PictureGroup_C::CheckSheet(const USheetLayout_S& layout) const {
    const int64_t width = layout.GetWidth();
    const int64_t height = layout.GetHeight();
    if (width <= 0 || height <= 0) {
        throw MakeError(2);
    }
    // Each side is checked first so that their product cannot overflow 64 bits.
    if (width > MaxSheetSide || height > MaxSheetSide || width * height > MaxSheetPixels) {
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        throw MakeError(4, size.c_str());
    }
}

UPixels_C PictureGroup_C::DrawSheet(const USheetLayout_S& layout, uint32_t background) {
    UPixels_C sheet;
    sheet.SetSize(
        USize_C(static_cast<int32_t>(layout.GetWidth()), static_cast<int32_t>(layout.GetHeight())));
    sheet.Fill(background);
    const UPoint_C cellOrigin = layout.cell.GetTopLeft();
    UPoint_C position;
    int64_t column = 0;
    for (UIdentifier_C id = GetFirst(); id.IsValid(); id.Next()) {
        const Picture_S& picture = GetData(id);
        if (picture.pixels.GetSize().IsNotEmpty()) {
            sheet.Draw(picture.pixels.MakeView(position - cellOrigin), 0);
        }
        if (++column < layout.columns) {
            position.x += layout.cell.GetWidth();
        } else {
            column = 0;
            position = {0, position.y + layout.cell.GetHeight()};
        }
    }
    return sheet;
}

NS_Base::UError_C PictureGroup_C::MakeError(int32_t code, const char* extra) const {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, "无法打开图片."},
        {2, "无法生成有效图片,有可能因为图片上全是透明色."},
        {3, "要使用多行合并的话，图片大小必须一致。"},
        {4, "The sheet is too large to compose:"},
        {5, "Not enough memory to compose the sheet:"},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, extra);
}

}  // namespace NS_Data
