#pragma once

#include <algorithm>
#include <cstdint>

#include "foundation/UPoint_C.h"
#include "foundation/USize_C.h"

// A rectangle whose right and bottom are inclusive: width = right - left + 1. The empty rectangle
// is (0, 0, -1, -1).
struct URect_C {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;

    static URect_C FromSize(USize_C size) { return FromPointSize({0, 0}, size); }
    static URect_C FromPointSize(UPoint_C topLeft, USize_C size) {
        return {topLeft.x, topLeft.y, topLeft.x + size.GetWidth() - 1,
                topLeft.y + size.GetHeight() - 1};
    }

    int32_t GetWidth() const { return right - left + 1; }
    int32_t GetHeight() const { return bottom - top + 1; }
    // Fails in USize_C when the rectangle is inverted by more than one.
    USize_C GetSize() const { return USize_C(GetWidth(), GetHeight()); }
    int64_t GetCells() const { return int64_t{GetWidth()} * GetHeight(); }
    bool IsNotEmpty() const { return GetWidth() > 0 && GetHeight() > 0; }
    UPoint_C GetTopLeft() const { return {left, top}; }

    URect_C Union(const URect_C& other) const {
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
    // The common part; not IsNotEmpty() when there is none.
    URect_C Intersection(const URect_C& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    bool Intersects(const URect_C& other) const {
        return !(right < other.left || other.right < left || bottom < other.top ||
                 other.bottom < top);
    }
    URect_C Moved(UPoint_C offset) const {
        return {left + offset.x, top + offset.y, right + offset.x, bottom + offset.y};
    }

    friend bool operator==(const URect_C&, const URect_C&) = default;
};
