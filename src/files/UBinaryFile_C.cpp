#include "UBinaryFile_C.h"

#include <string>

namespace NS_Data {

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

UBinaryFile_C& UBinaryFile_C::ReadText(UString_C& text) {
    std::string bytes;
    for (;;) {
        char c = 0;
        Read(&c, 1);
        if (c == '\0') {
            break;
        }
        bytes += c;
    }
    text = UString_C(bytes.c_str());
    return *this;
}

}  // namespace NS_Data
