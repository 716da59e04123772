#include "foundation/UAllocator_C.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
constexpr uint32_t Growth = 10000;
}

UAllocator_C::~UAllocator_C() {
    std::free(memory);
}

void UAllocator_C::Reserve(void*& pointer, uint32_t size, uint32_t keep) {
    if (pointer != nullptr && pointer != memory) {
        throw MakeError(2);
    }
    if (capacity < size) {
        if (keep != 0 && pointer == nullptr) {
            throw MakeError(3);
        }
        const uint32_t grown = capacity > UINT32_MAX - Growth ? UINT32_MAX : capacity + Growth;
        const uint32_t newSize = std::max(size, grown);
        memory = Replace(newSize, keep);
        if (!memory) {
            capacity = 0;
            pointer = nullptr;
            throw MakeError(1);
        }
        capacity = newSize;
    }
    pointer = memory;
}

void* UAllocator_C::Replace(uint32_t newSize, uint32_t keep) {
    void* block = nullptr;
    if (keep == 0) {
        std::free(memory);
        block = std::malloc(newSize);
    } else {
        block = std::malloc(newSize);
        if (block) {
            std::memcpy(block, memory, std::min(keep, capacity));
        }
        // When the new block is refused the old one goes too: the allocator then holds nothing.
        std::free(memory);
    }
    return block;
}

void UAllocator_C::GetMemory(void*& pointer, uint32_t size) {
    if (locked) {
        throw MakeError(4);
    }
    Reserve(pointer, size, 0);
}

NS_Base::UError_C UAllocator_C::MakeError(int32_t code) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Not enough memory.")},
        {2, TR_NOOP("UError_C", "Unexpected point from the other area.")},
        {3, TR_NOOP("UError_C", "Fail to copy data because null point.")},
        {4, TR_NOOP("UError_C", "Fail to get memory because locked data.")},
        {5, TR_NOOP("UError_C", "Fail to lock data because the data has been locked.")},
        {6, TR_NOOP("UError_C", "Fail to unlock data because the data has not been locked.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
}
