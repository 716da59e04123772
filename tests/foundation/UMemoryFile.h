#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

// The file interface of the value and dictionary templates over a byte vector; reading past the
// end throws like a file that ends early.
class UMemoryFile {
public:
    explicit UMemoryFile(std::vector<unsigned char> content = {}) : bytes(std::move(content)) {}

    UMemoryFile& ReadInt32(int32_t& value) {
        uint32_t bits = 0;
        ReadBytes(&bits, 4);  // tests run on little-endian machines
        value = static_cast<int32_t>(bits);
        return *this;
    }
    UMemoryFile& WriteInt32(int32_t value) {
        WriteBytes(&value, 4);
        return *this;
    }
    void ReadBytes(void* destination, int32_t count) {
        if (GetRemaining() < count) {
            throw std::runtime_error("read past the end");
        }
        std::memcpy(destination, bytes.data() + position, count);
        position += count;
    }
    void WriteBytes(const void* source, int32_t count) {
        const auto* from = static_cast<const unsigned char*>(source);
        bytes.insert(bytes.end(), from, from + count);
    }
    int64_t GetRemaining() const { return static_cast<int64_t>(bytes.size() - position); }

    std::vector<unsigned char> bytes;
    std::size_t position = 0;
};
