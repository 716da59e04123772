#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

// An in-memory stand-in for the binary file: the file interface that the value and dictionary
// templates need, over a byte vector. Reading past the end throws like a file that ends early.
class UMemoryFile {
public:
    UMemoryFile() = default;
    explicit UMemoryFile(std::vector<unsigned char> content) : bytes(std::move(content)) {}

    UMemoryFile& ReadInt32(int32_t& value) {
        unsigned char raw[4];
        ReadBytes(raw, 4);
        value = static_cast<int32_t>(raw[0] | raw[1] << 8 | raw[2] << 16 |
                                     static_cast<uint32_t>(raw[3]) << 24);
        return *this;
    }
    UMemoryFile& WriteInt32(int32_t value) {
        const auto bits = static_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<unsigned char>(bits >> shift));
        }
        return *this;
    }
    void ReadBytes(void* destination, int32_t count) {
        if (count <= 0) {
            return;
        }
        if (GetRemaining() < count) {
            throw std::runtime_error("read past the end");
        }
        std::memcpy(destination, bytes.data() + position, static_cast<std::size_t>(count));
        position += static_cast<std::size_t>(count);
    }
    void WriteBytes(const void* source, int32_t count) {
        const auto* from = static_cast<const unsigned char*>(source);
        bytes.insert(bytes.end(), from, from + (count > 0 ? count : 0));
    }
    int64_t GetRemaining() const { return static_cast<int64_t>(bytes.size() - position); }

    const std::vector<unsigned char>& Bytes() const { return bytes; }

private:
    std::vector<unsigned char> bytes;
    std::size_t position = 0;
};
