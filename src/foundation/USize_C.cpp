#include "foundation/USize_C.h"

USize_C::USize_C(int32_t newWidth, int32_t newHeight) {
    Set(newWidth, newHeight);
}

void USize_C::Set(int32_t newWidth, int32_t newHeight) {
    if (newWidth < 0 || newHeight < 0) {
        throw MakeError(1);
    }
    width = newWidth;
    height = newHeight;
}

NS_Base::UError_C USize_C::MakeError(int32_t code) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to set size because negative size.")},
        {2, TR_NOOP("UError_C", "Fail to use subtraction on the size because negative size.")},
        {3, TR_NOOP("UError_C", "Unexpected scale.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
}
