#pragma once

#include <cstdint>

#include "foundation/UError_C.h"

// A block of memory that its owner reuses between calls. It only grows, by at least 10000 bytes
// at a time, so repeated requests of similar sizes allocate once.
class UAllocator_C {
public:
    UAllocator_C() = default;
    UAllocator_C(const UAllocator_C&) = delete;
    UAllocator_C& operator=(const UAllocator_C&) = delete;
    ~UAllocator_C();

    // Makes the block at least `size` bytes and points `pointer` at it. `pointer` must be null
    // or the block itself; `keep` leading bytes of the old block survive a move.
    void Reserve(void*& pointer, uint32_t size, uint32_t keep);
    void GetMemory(void*& pointer, uint32_t size);

    template <class T>
    void GetMemory(T*& pointer, uint32_t size) {
        void* untyped = pointer;
        GetMemory(untyped, size);
        pointer = static_cast<T*>(untyped);
    }

    uint32_t GetCapacity() const { return capacity; }

    static const char* ClassName() { return "UAllocator_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code);
    // Frees the current block and returns a new one of `newSize` bytes holding `keep` old bytes.
    void* Replace(uint32_t newSize, uint32_t keep);

    void* memory = nullptr;
    uint32_t capacity = 0;
    int32_t locked = 0;
};
