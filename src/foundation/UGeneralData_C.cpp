#include "foundation/UGeneralData_C.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace NS_Data {
namespace {

bool IsVariableType(int32_t type) {
    return type == UGeneralData_C::String || type == UGeneralData_C::Binary;
}

// Length of the text in `data`, which ends at its first zero byte or after `size` bytes.
int32_t BoundedLength(const unsigned char* data, int32_t size) {
    if (!data || size <= 0) {
        return 0;
    }
    const void* zero = std::memchr(data, 0, static_cast<std::size_t>(size));
    return zero ? static_cast<int32_t>(static_cast<const unsigned char*>(zero) - data) : size;
}

std::unique_ptr<unsigned char[]> Allocate(int32_t size) {
    return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[size]());
}

}  // namespace

UGeneralData_C& UGeneralData_C::operator=(const UGeneralData_C& other) {
    Assign(other);
    return *this;
}

void UGeneralData_C::Assign(const UGeneralData_C& other) {
    if (this == &other) {
        return;
    }
    std::unique_ptr<unsigned char[]> copy;
    if (other.buffer) {
        copy = Allocate(other.size);
        if (!copy) {
            throw MakeError(1);
        }
        std::memcpy(copy.get(), other.buffer.get(), static_cast<std::size_t>(other.size));
    }
    type = other.type;
    size = other.size;
    std::memcpy(inlineData, other.inlineData, sizeof inlineData);
    buffer = std::move(copy);
}

void UGeneralData_C::Clear() {
    type = Unknown;
    size = 0;
    std::memset(inlineData, 0, sizeof inlineData);
    buffer.reset();
}

int32_t UGeneralData_C::SizeOfType(int32_t type) {
    static constexpr int32_t sizes[] = {4, 2, 4, 8, 4, 4, 8, 2, 4, 4, 8, 16};
    static_assert(*std::max_element(std::begin(sizes), std::end(sizes)) <= InlineCapacity);
    if (type < 0 || type >= static_cast<int32_t>(std::size(sizes))) {
        return 0;
    }
    return sizes[type];
}

// A type outside the table, or a negative size for String or Binary, raises code 6 and leaves
// the value as it was; an Unknown never keeps a buffer, whatever size is asked for.
void UGeneralData_C::SetType(int32_t newType, int32_t newSize) {
    const bool variable = IsVariableType(newType);
    if (!IsKnownType(newType) || (variable && newSize < 0)) {
        throw MakeError(6);
    }
    if (newType == type && size == (variable ? newSize : SizeOfType(newType))) {
        return;
    }
    Clear();
    type = newType;
    size = SizeOfType(newType);
    if (variable && newSize > 0) {
        buffer = Allocate(newSize);
        if (!buffer) {
            throw MakeError(1);
        }
        size = newSize;
    }
}

void UGeneralData_C::SetInt(int32_t value) {
    if (type != Int) {
        SetType(Int);
    }
    std::memcpy(inlineData, &value, sizeof value);
}

int32_t UGeneralData_C::GetInt() const {
    switch (type) {
        case Int:
        case Int32:
        case Int64:
        case Bool: {
            int32_t value = 0;
            std::memcpy(&value, inlineData, sizeof value);
            return value;
        }
        case Int16: {
            int16_t value = 0;
            std::memcpy(&value, inlineData, sizeof value);
            return value;
        }
        default:
            throw MakeError(2);
    }
}

bool UGeneralData_C::IsEqual(const UGeneralData_C& other) const {
    if (type != other.type) {
        return false;
    }
    if (type == String) {
        // Texts end at their zero byte, or at the end of a buffer read from a file without one.
        const int32_t length = BoundedLength(buffer.get(), size);
        return length == BoundedLength(other.buffer.get(), other.size) &&
               (length == 0 || std::memcmp(buffer.get(), other.buffer.get(), length) == 0);
    }
    if (size != other.size) {
        return false;
    }
    return size == 0 ||
           std::memcmp(GetData(), other.GetData(), static_cast<std::size_t>(size)) == 0;
}

bool UGeneralData_C::IsEqualInt(int32_t value) const {
    int32_t own = 0;
    std::memcpy(&own, inlineData, sizeof own);
    return type == Int && own == value;
}

bool UGeneralData_C::IsSoundHeader(int32_t storedType, int32_t storedSize, int64_t remaining) {
    if (!IsKnownType(storedType)) {
        return false;
    }
    if (storedType == Unknown) {
        return storedSize == 0;
    }
    if (IsVariableType(storedType)) {
        return storedSize >= 0 && storedSize <= remaining;
    }
    return true;
}

NS_Base::UError_C UGeneralData_C::MakeError(int32_t code) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Not enough memory.")},
        {2, TR_NOOP("UError_C", "No data for pointed type.")},
        {3, TR_NOOP("UError_C", "Need bigger size to save data.")},
        {4, TR_NOOP("UError_C", "Fail to translate data with unknown type to string.")},
        {5, TR_NOOP("UError_C", "Fail to translate data with binary data to string.")},
        {6, TR_NOOP("UError_C", "Unexpected type or size of data.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
}

}  // namespace NS_Data
