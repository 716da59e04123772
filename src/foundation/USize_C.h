#pragma once

#include <cstdint>

#include "foundation/UError_C.h"

// A width and a height in pixels; neither is ever negative.
class USize_C {
public:
    USize_C() = default;
    USize_C(int32_t width, int32_t height);

    // Refuses a negative width or height with code 1 and keeps the old size.
    void Set(int32_t width, int32_t height);

    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    bool IsNotEmpty() const { return width > 0 && height > 0; }
    // Number of pixels; wraps modulo 2^32 like the 32-bit product it is.
    uint32_t GetArea() const {
        return static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    }

    static const char* ClassName() { return "USize_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code);

    int32_t width = 0;
    int32_t height = 0;
};
