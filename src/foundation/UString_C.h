#pragma once

#include <compare>
#include <string>

namespace NS_Data {

// A zero-terminated UTF-8 text with value semantics. Its order is that of the unsigned bytes,
// which for UTF-8 is code-point order: case-sensitive, upper case before lower case.
class UString_C {
public:
    UString_C() = default;
    UString_C(const char* source) : text(source ? source : "") {}  // NOLINT: converts freely

    UString_C& operator+=(const char* more);

    const char* GetString() const { return text.c_str(); }
    std::size_t GetLength() const { return text.size(); }
    bool IsEmpty() const { return text.empty(); }

    // Negative, zero or positive as this text orders before, with or after `other`.
    int Compare(const char* other) const;
    int Compare(const UString_C& other) const { return Compare(other.GetString()); }

    friend bool operator<(const UString_C& a, const UString_C& b) { return a.Compare(b) < 0; }
    friend bool operator==(const UString_C& a, const UString_C& b) { return a.text == b.text; }

private:
    std::string text;
};

}  // namespace NS_Data
