#include "files/UBinaryFile_C.h"

#include <cstring>

namespace NS_Data {
namespace {

// UBuffer_C's code for a text longer than the area it is read into.
constexpr int32_t TooLongText = 3;

}  // namespace

UBinaryFile_C& UBinaryFile_C::ReadInt32(int32_t& value) {
    unsigned char raw[4];
    ReadBytes(raw, 4);
    value = static_cast<int32_t>(
        static_cast<uint32_t>(raw[0]) | static_cast<uint32_t>(raw[1]) << 8 |
        static_cast<uint32_t>(raw[2]) << 16 | static_cast<uint32_t>(raw[3]) << 24);
    return *this;
}

UBinaryFile_C& UBinaryFile_C::WriteInt32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    const unsigned char raw[4] = {
        static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
        static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
    WriteBytes(raw, 4);
    return *this;
}

void UBinaryFile_C::ReadBytes(void* destination, int32_t count) {
    CheckState(Reading);
    Read(destination, count);
}

void UBinaryFile_C::WriteBytes(const void* source, int32_t count) {
    CheckState(Writing);
    Write(source, count);
}

UBinaryFile_C& UBinaryFile_C::WriteText(const char* text) {
    WriteString(text ? text : "");
    return *this;
}

// The text comes in pieces of at most Capacity - 1 bytes; a piece that fills the area is kept
// and the next one read after it.
UBinaryFile_C& UBinaryFile_C::ReadText(UString_C& text) {
    text = UString_C();
    char piece[Capacity];
    for (;;) {
        try {
            ReadString(piece, Capacity);
            text += piece;
            return *this;
        } catch (const NS_Base::UError_C& error) {
            if (error.GetCode() != TooLongText ||
                std::strcmp(error.GetPosition(), UBuffer_C::ClassName()) != 0) {
                throw;
            }
            text += piece;
        }
    }
}

}  // namespace NS_Data
