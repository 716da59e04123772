#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/UError_C.h"

namespace NS_Data {

// A stream buffer of a fixed 30000-byte area, used either for reading or for writing. Derived
// classes connect it to a medium through Refill and Flush; the base class has none and fails.
class UBuffer_C {
public:
    static constexpr int32_t Capacity = 30000;

    UBuffer_C() = default;
    UBuffer_C(const UBuffer_C&) = delete;
    UBuffer_C& operator=(const UBuffer_C&) = delete;
    virtual ~UBuffer_C() = default;

    // Copies `count` bytes out, refilling as needed; fails with code 1 when the medium runs dry.
    void Read(void* destination, int32_t count);
    // Takes `count` bytes, flushing each full area; fails with code 2 when a flush fails.
    void Write(const void* source, int32_t count);
    // Reads a zero-terminated text into `capacity` bytes and returns its length. A text that
    // does not fit fails with code 3, leaving the first byte that did not fit unread.
    int32_t ReadString(char* destination, int32_t capacity);
    // Writes the text and its terminating zero; returns the number of bytes written.
    int32_t WriteString(const char* text);
    int32_t GetPending() const { return end - readPosition; }

    static const char* ClassName() { return "UBuffer_C"; }

protected:
    // Must leave readPosition at 0 and end at the number of bytes placed; 0 on success.
    virtual int Refill() { return 1; }
    // Must write out readPosition..end and leave both at 0; 0 on success.
    virtual int Flush() { return 1; }

    static NS_Base::UError_C MakeError(int32_t code);

    unsigned char bytes[Capacity] = {};
    int32_t readPosition = 0;
    int32_t end = 0;
};

}  // namespace NS_Data
