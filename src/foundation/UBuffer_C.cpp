#include "foundation/UBuffer_C.h"

#include <cstring>

namespace NS_Data {

void UBuffer_C::Read(void* destination, int32_t count) {
    auto* target = static_cast<unsigned char*>(destination);
    while (count > 0) {
        if (end - readPosition >= count) {
            std::memcpy(target, bytes + readPosition, count);
            readPosition += count;
            return;
        }
        const int32_t available = end - readPosition;
        if (available > 0) {
            std::memcpy(target, bytes + readPosition, available);
            readPosition += available;
            target += available;
            count -= available;
        }
        if (Refill() != 0) {
            throw MakeError(1);
        }
    }
}

void UBuffer_C::Write(const void* source, int32_t count) {
    const auto* from = static_cast<const unsigned char*>(source);
    while (count > 0) {
        if (end + count <= Capacity) {
            std::memcpy(bytes + end, from, count);
            end += count;
            return;
        }
        const int32_t room = Capacity - end;
        if (room > 0) {
            std::memcpy(bytes + end, from, room);
            end += room;
            from += room;
            count -= room;
        }
        if (Flush() != 0) {
            throw MakeError(2);
        }
    }
}

int32_t UBuffer_C::ReadString(char* destination, int32_t capacity) {
    int32_t length = 0;
    for (;;) {
        if (readPosition == end) {
            if (Refill() != 0) {
                throw MakeError(1);
            }
            continue;
        }
        const unsigned char c = bytes[readPosition];
        if (c == 0) {
            ++readPosition;
            destination[length] = '\0';
            return length;
        }
        if (length >= capacity - 1) {
            destination[length] = '\0';
            throw MakeError(3);
        }
        destination[length++] = static_cast<char>(c);
        ++readPosition;
    }
}

int32_t UBuffer_C::WriteString(const char* text) {
    const auto length = static_cast<int32_t>(std::strlen(text)) + 1;
    Write(text, length);
    return length;
}

NS_Base::UError_C UBuffer_C::MakeError(int32_t code) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to read data.")},
        {2, TR_NOOP("UError_C", "Fail to write data.")},
        {3, TR_NOOP("UError_C", "Fail to get string because too long string.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table);
}

}  // namespace NS_Data
