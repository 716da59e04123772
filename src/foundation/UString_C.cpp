#include "foundation/UString_C.h"

#include <cstring>

namespace NS_Data {

UString_C& UString_C::operator+=(const char* more) {
    if (more) {
        text += more;
    }
    return *this;
}

int UString_C::Compare(const char* other) const {
    // strcmp compares as unsigned char, which is the order we want for UTF-8.
    return std::strcmp(text.c_str(), other ? other : "");
}

}  // namespace NS_Data
