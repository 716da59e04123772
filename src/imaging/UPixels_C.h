#pragma once

#include <cstdint>
#include <memory>

#include "foundation/UError_C.h"
#include "foundation/UPoint_C.h"
#include "foundation/URect_C.h"
#include "foundation/USize_C.h"

// A rectangle of 0xAARRGGBB values (not premultiplied) placed in the pixel plane, rows from the
// top without gaps. It owns its values, or is a view over values owned elsewhere; a view must
// not outlive them.
class UPixels_C {
public:
    UPixels_C() = default;
    UPixels_C(const UPixels_C&) = delete;
    UPixels_C& operator=(const UPixels_C&) = delete;
    UPixels_C(UPixels_C&& other) noexcept;
    UPixels_C& operator=(UPixels_C&& other) noexcept;
    ~UPixels_C();

    // Makes room for size.width x size.height values, reusing the memory when the count stays.
    // New values are not cleared. Refused on a view (code 5).
    void SetSize(USize_C size);
    void Fill(uint32_t value);
    // Bounding rectangle, in the buffer's own coordinates, of the values whose alpha is not 0;
    // (0, 0, -1, -1) when there is none.
    URect_C GetContentRect() const;
    // Composes `source` over this buffer where their areas overlap; fully transparent source
    // values are skipped. `level` 0 is plain alpha composition, the only level in use.
    void Draw(const UPixels_C& source, int level);
    // A view over these values whose area is this one moved by `offset`.
    UPixels_C MakeView(UPoint_C offset) const;
    // Turns this buffer into a view over `values` with area (x, y, x + width - 1, ...).
    void AttachView(uint32_t* values, int32_t x, int32_t y, int32_t width, int32_t height);

    USize_C GetSize() const { return area.GetSize(); }
    const URect_C& GetArea() const { return area; }
    uint32_t* GetData() { return data; }
    const uint32_t* GetData() const { return data; }

    static const char* ClassName() { return "UPixels_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code);

    std::unique_ptr<uint32_t[]> owned;  // null for a view
    uint32_t* data = nullptr;           // owned.get(), or the values a view shows
    URect_C area;
    bool isView = false;
    bool sized = false;
};
