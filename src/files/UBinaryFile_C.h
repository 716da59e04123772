#pragma once

#include <cstdint>

#include "files/UFile_C.h"
#include "foundation/UString_C.h"

namespace NS_Data {

// Typed access to a file: little-endian 32-bit integers, raw byte runs and texts ended by a zero
// byte, with no padding and no length prefix. Integer and byte operations check that the file is
// open the right way (system error 1 "Incorrect state."); data that runs out raises "Fail to read
// data.", a write the system refuses "Fail to write data.".
class UBinaryFile_C : public UFile_C {
public:
    UBinaryFile_C& ReadInt32(int32_t& value);
    UBinaryFile_C& operator>>(int32_t& value) { return ReadInt32(value); }
    UBinaryFile_C& WriteInt32(int32_t value);
    UBinaryFile_C& operator<<(int32_t value) { return WriteInt32(value); }

    // Nothing happens for a count of 0 or less, after the state test.
    void ReadBytes(void* destination, int32_t count);
    void WriteBytes(const void* source, int32_t count);

    // Writes the text and its zero byte.
    UBinaryFile_C& WriteText(const char* text);
    UBinaryFile_C& WriteText(const UString_C& text) { return WriteText(text.GetString()); }
    // Reads up to and including the next zero byte, whatever the text's length; `text` gets the
    // bytes before the zero.
    UBinaryFile_C& ReadText(UString_C& text);
};

}  // namespace NS_Data
