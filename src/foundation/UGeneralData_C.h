#pragma once

#include <cstdint>
#include <memory>

#include "foundation/DataFile.h"
#include "foundation/UError_C.h"

namespace NS_Data {

// A value of one of fifteen types that owns its storage, copies deeply and compares by type and
// content. In a file a value is its type number, its size in bytes and then that many data bytes.
//
// The reading and writing members take any file type offering ReadInt32(int32_t&),
// WriteInt32(int32_t), ReadBytes(void*, int32_t), WriteBytes(const void*, int32_t) and
// GetRemaining() (the bytes that reads can still take), such as UBinaryFile_C.
class UGeneralData_C {
public:
    // The numbers are what files store.
    enum UType_E : int32_t {
        Int = 0,
        Int16 = 1,
        Int32 = 2,
        Int64 = 3,
        Bool = 4,
        Float = 5,
        Double = 6,
        Uint16 = 7,
        Uint32 = 8,
        Uint = 9,
        Point = 10,
        Area = 11,
        String = 12,
        Binary = 13,
        Unknown = 14,
    };
    // Bytes of the fixed types' storage; the largest fixed type (Area) fills it.
    static constexpr int32_t InlineCapacity = 16;

    UGeneralData_C() = default;
    UGeneralData_C(const UGeneralData_C& other) { Assign(other); }
    UGeneralData_C& operator=(const UGeneralData_C& other);
    ~UGeneralData_C() = default;

    // Takes the other's type and content; on failure (code 1) this value is unchanged.
    void Assign(const UGeneralData_C& other);
    // Makes the value Unknown.
    void Clear();

    // Bytes of a fixed type; 0 for String, Binary, Unknown and numbers outside the table.
    static int32_t SizeOfType(int32_t type);
    static bool IsKnownType(int32_t type) { return type >= Int && type <= Unknown; }

    int32_t GetType() const { return type; }
    int32_t GetSize() const { return size; }
    // The value's `GetSize()` bytes: the inline area or the owned buffer (null when empty).
    const unsigned char* GetData() const { return buffer ? buffer.get() : inlineData; }

    // Changes the type. `newSize` counts only for String and Binary, which get that many zero
    // bytes; a fixed type starts at 0. Setting the same type and size keeps the content.
    void SetType(int32_t newType, int32_t newSize = 0);
    void SetInt(int32_t value);
    // Int, Int32, Bool, Int16 (sign-extended) and the low half of Int64; other types raise code 2.
    int32_t GetInt() const;

    bool IsEqual(const UGeneralData_C& other) const;
    bool IsEqualInt(int32_t value) const;
    bool operator==(const UGeneralData_C& other) const { return IsEqual(other); }
    bool operator==(int32_t value) const { return IsEqualInt(value); }

    template <DataFile File>
    void Read(File& file);
    template <DataFile File>
    void ReadHeader(File& file);
    template <DataFile File>
    void ReadData(File& file);
    template <DataFile File>
    void Write(File& file) const;
    template <DataFile File>
    void WriteHeader(File& file) const;
    template <DataFile File>
    void WriteData(File& file) const;

    static const char* ClassName() { return "UGeneralData_C"; }

private:
    // Whether a stored header could have come from Write, given the bytes still in the file.
    static bool IsSoundHeader(int32_t storedType, int32_t storedSize, int64_t remaining);
    unsigned char* MutableData() { return buffer ? buffer.get() : inlineData; }

    static NS_Base::UError_C MakeError(int32_t code);

    int32_t type = Unknown;
    int32_t size = 0;
    unsigned char inlineData[InlineCapacity] = {};
    std::unique_ptr<unsigned char[]> buffer;
};

template <DataFile File>
void UGeneralData_C::Read(File& file) {
    ReadHeader(file);
    ReadData(file);
}

// A header that Write cannot produce (a damaged file) raises code 6 before anything is allocated.
template <DataFile File>
void UGeneralData_C::ReadHeader(File& file) {
    int32_t storedType = 0;
    int32_t storedSize = 0;
    file.ReadInt32(storedType);
    file.ReadInt32(storedSize);
    if (!IsSoundHeader(storedType, storedSize, file.GetRemaining())) {
        throw MakeError(6);
    }
    SetType(storedType, storedSize);
}

template <DataFile File>
void UGeneralData_C::ReadData(File& file) {
    if (size > 0) {
        file.ReadBytes(MutableData(), size);
    }
}

template <DataFile File>
void UGeneralData_C::Write(File& file) const {
    WriteHeader(file);
    WriteData(file);
}

template <DataFile File>
void UGeneralData_C::WriteHeader(File& file) const {
    file.WriteInt32(type);
    file.WriteInt32(size);
}

template <DataFile File>
void UGeneralData_C::WriteData(File& file) const {
    if (size > 0) {
        file.WriteBytes(GetData(), size);
    }
}

}  // namespace NS_Data
