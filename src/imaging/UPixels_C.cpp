#include "imaging/UPixels_C.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

namespace {

constexpr uint32_t AlphaShift = 24;

uint32_t AlphaOf(uint32_t value) {
    return value >> AlphaShift;
}

// Level 0 composition of a partly transparent `source` over a visible `target`. The weight is
// held in single precision and each channel is truncated, not rounded: sheets have always been
// blended so, and users compare new sheets with older ones value for value.
inline uint32_t Blend(uint32_t target, uint32_t source) {
    const float weight = static_cast<float>(static_cast<double>(AlphaOf(source)) / 255.0);
    const double keep = 1.0 - static_cast<double>(weight);
    uint32_t result = std::max(AlphaOf(target), AlphaOf(source)) << AlphaShift;
    for (uint32_t shift = 0; shift < AlphaShift; shift += 8) {
        const double mixed =
            keep * ((target >> shift) & 0xFF) + weight * ((source >> shift) & 0xFF);
        result |= (static_cast<uint32_t>(mixed) & 0xFF) << shift;
    }
    return result;
}

// Composes one row: `source` and `target` point at the first overlapping values.
inline void DrawRow(uint32_t* target, const uint32_t* source, int32_t count) {
    for (int32_t x = 0; x < count; ++x) {
        const uint32_t value = source[x];
        const uint32_t alpha = AlphaOf(value);
        if (alpha == 0) {
            continue;
        }
        if (alpha == 255 || AlphaOf(target[x]) == 0) {
            target[x] = value;
        } else {
            target[x] = Blend(target[x], value);
        }
    }
}

bool RowIsVisible(const uint32_t* row, int32_t width) {
    for (int32_t i = 0; i < width; ++i) {
        if (AlphaOf(row[i]) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

UPixels_C::UPixels_C(UPixels_C&& other) noexcept
    : owned(std::move(other.owned)),
      data(std::exchange(other.data, nullptr)),
      area(std::exchange(other.area, URect_C{})),
      isView(std::exchange(other.isView, false)),
      sized(std::exchange(other.sized, false)) {}

UPixels_C& UPixels_C::operator=(UPixels_C&& other) noexcept {
    if (this != &other) {
        owned = std::move(other.owned);
        data = std::exchange(other.data, nullptr);
        area = std::exchange(other.area, URect_C{});
        isView = std::exchange(other.isView, false);
        sized = std::exchange(other.sized, false);
    }
    return *this;
}

UPixels_C::~UPixels_C() = default;

void UPixels_C::SetSize(USize_C size) {
    if (isView) {
        throw MakeError(5);
    }
    // USize_C::GetArea is the 32-bit count every caller works with; a larger buffer would be
    // miscounted, so it is refused before anything is freed.
    const uint64_t count =
        uint64_t{static_cast<uint32_t>(size.GetWidth())} * static_cast<uint32_t>(size.GetHeight());
    if (count > UINT32_MAX || count > SIZE_MAX / sizeof(uint32_t)) {
        throw MakeError(1);
    }
    if (!sized || count != static_cast<uint64_t>(area.GetCells())) {
        owned.reset();
        owned.reset(new (std::nothrow) uint32_t[static_cast<std::size_t>(count)]);
        data = owned.get();
        if (!data) {
            area = URect_C{};
            sized = false;
            throw MakeError(1);
        }
    }
    area.right = area.left + size.GetWidth() - 1;
    area.bottom = area.top + size.GetHeight() - 1;
    sized = true;
}

void UPixels_C::Fill(uint32_t value) {
    if (!sized) {
        throw MakeError(2);
    }
    const int64_t count = area.GetCells();
    for (int64_t i = 0; i < count; ++i) {
        data[i] = value;
    }
}

URect_C UPixels_C::GetContentRect() const {
    if (!sized) {
        throw MakeError(2);
    }
    const int32_t width = area.GetWidth();
    const int32_t height = area.GetHeight();
    auto row = [&](int32_t j) { return data + static_cast<std::size_t>(width) * j; };
    URect_C content;
    int32_t top = 0;
    while (top < height && !RowIsVisible(row(top), width)) {
        ++top;
    }
    if (top == height) {
        return content;
    }
    int32_t bottom = height - 1;
    while (!RowIsVisible(row(bottom), width)) {
        --bottom;
    }
    // Each row only needs scanning up to the edges found so far.
    int32_t left = width - 1;
    int32_t right = 0;
    for (int32_t j = top; j <= bottom; ++j) {
        const uint32_t* values = row(j);
        for (int32_t i = 0; i < left; ++i) {
            if (AlphaOf(values[i]) != 0) {
                left = i;
                break;
            }
        }
        for (int32_t i = width - 1; i > right; --i) {
            if (AlphaOf(values[i]) != 0) {
                right = i;
                break;
            }
        }
    }
    return {left, top, right, bottom};
}

void UPixels_C::Draw(const UPixels_C& source, int level) {
    if (!sized || !source.sized) {
        throw MakeError(2);
    }
    if (level != 0) {
        throw MakeError(7);
    }
    const URect_C& target = area;
    const URect_C& from = source.area;
    if (!target.Intersects(from)) {
        return;
    }
    // The overlap in source coordinates: columns [x0, x1), rows [y0, y1).
    const int32_t x0 = std::max(target.left - from.left, 0);
    const int32_t x1 = std::min(target.right, from.right) - from.left + 1;
    const int32_t y0 = std::max(target.top - from.top, 0);
    const int32_t y1 = std::min(target.bottom, from.bottom) - from.top + 1;
    const std::size_t sourceWidth = static_cast<std::size_t>(from.GetWidth());
    const std::size_t targetWidth = static_cast<std::size_t>(target.GetWidth());
    const int32_t targetX = from.left + x0 - target.left;
    for (int32_t y = y0; y < y1; ++y) {
        const std::size_t targetY = static_cast<std::size_t>(from.top + y - target.top);
        DrawRow(data + targetY * targetWidth + targetX, source.data + y * sourceWidth + x0,
                x1 - x0);
    }
}

UPixels_C UPixels_C::MakeView(UPoint_C offset) const {
    UPixels_C view;
    view.data = data;
    view.area = area.Moved(offset);
    view.isView = true;
    // A view of a buffer that holds nothing holds nothing either, so drawing it is refused.
    view.sized = sized;
    return view;
}

void UPixels_C::AttachView(uint32_t* values, int32_t x, int32_t y, int32_t width, int32_t height) {
    const USize_C size(width, height);
    owned.reset();
    data = values;
    area = URect_C::FromPointSize({x, y}, size);
    isView = true;
    sized = true;
}

NS_Base::UError_C UPixels_C::MakeError(int32_t code) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Not enough memory.")},
        {2, TR_NOOP("UError_C", "The data has not been initialized.")},
        {3, TR_NOOP("UError_C", "HBITMAP size mismatches size of pixels data.")},
        {4, TR_NOOP("UError_C", "Unexpected transparency.")},
        {5, TR_NOOP("UError_C", "Fail to set size because memory from exterior.")},
        {6, TR_NOOP("UError_C", "The index data mismatches palette data.")},
        {7, TR_NOOP("UError_C", "Fail to draw because no function.")},
        {8, TR_NOOP("UError_C", "Unexpected image size.")},
        {9, TR_NOOP("UError_C", "Fail to zoom in because new size mismatches the original size.")},
        {10, TR_NOOP("UError_C", "Unexpected pixel position.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
}
