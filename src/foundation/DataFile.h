#pragma once

#include <concepts>
#include <cstdint>

namespace NS_Data {

// What the dictionary and the typed values need of the file they are stored in: little-endian
// 32-bit integers, raw bytes, and how many bytes reads can still take (so that a damaged length
// is refused before it is allocated). UBinaryFile_C is the one in use.
template <class File>
concept DataFile = requires(File& file, int32_t& in, void* to, const void* from, int32_t count) {
    file.ReadInt32(in);
    file.WriteInt32(count);
    file.ReadBytes(to, count);
    file.WriteBytes(from, count);
    { file.GetRemaining() } -> std::convertible_to<int64_t>;
};

}  // namespace NS_Data
