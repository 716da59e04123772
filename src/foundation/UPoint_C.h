#pragma once

#include <cstdint>

// A point or an offset in the pixel plane; negative values are ordinary.
struct UPoint_C {
    int32_t x = 0;
    int32_t y = 0;

    friend UPoint_C operator-(UPoint_C a, UPoint_C b) { return {a.x - b.x, a.y - b.y}; }
    friend UPoint_C operator+(UPoint_C a, UPoint_C b) { return {a.x + b.x, a.y + b.y}; }
    friend bool operator==(UPoint_C, UPoint_C) = default;
};
