#include "foundation/UError_C.h"

#include <cstdio>
#include <cstring>

namespace NS_Base {
namespace {

void PrintNotice(void*, const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

UError_C::UNotice_F currentNotice = PrintNotice;

bool IsContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The longest prefix of `text` that fits `limit` bytes without splitting a UTF-8 character.
std::size_t FittingLength(const char* text, std::size_t length, std::size_t limit) {
    if (length <= limit) {
        return length;
    }
    std::size_t cut = limit;
    while (cut > 0 && IsContinuationByte(static_cast<unsigned char>(text[cut]))) {
        --cut;
    }
    return cut;
}

}  // namespace

void CopyText(char* target, std::size_t capacity, const char* source) {
    if (capacity == 0) {
        return;
    }
    const std::size_t length = source ? std::strlen(source) : 0;
    const std::size_t kept = FittingLength(source, length, capacity - 1);
    if (kept > 0) {
        std::memcpy(target, source, kept);
    }
    target[kept] = '\0';
}

UError_C::UError_C(int32_t errorCode, int32_t errorKind, const char* positionText,
                   const UMessage_S* table, const char* extra)
    : code(errorCode), kind(errorKind) {
    CopyText(position, TextCapacity, positionText);
    CopyText(infoEx, TextCapacity, extra);
    const char* message = "Unexpected error.";
    for (const UMessage_S* entry = table; entry && entry->code != 0; ++entry) {
        if (entry->code == errorCode) {
            message = entry->message;
            break;
        }
    }
    CopyText(info, TextCapacity, message);
}

const char* UError_C::GetCaption() const {
    return kind == UserError ? "UserError" : "SystemError";
}

std::string UError_C::ComposeText() const {
    std::string text;
    if (kind == SystemError) {
        text = "Code: " + std::to_string(code) + "\r\nInfo: " + info;
    } else {
        text = info;
    }
    if (infoEx[0] != '\0') {
        text += kind == SystemError ? "\r\nInfoEx: " : "\r\n";
        text += infoEx;
    }
    if (kind == SystemError) {
        text += "\r\nPosition: ";
        text += position;
    }
    char bounded[TextCapacity];
    CopyText(bounded, TextCapacity, text.c_str());
    return bounded;
}

void UError_C::Show(void* owner) const {
    currentNotice(owner, GetCaption(), ComposeText().c_str());
}

void UError_C::SetNotice(UNotice_F notice) {
    currentNotice = notice ? notice : PrintNotice;
}

}  // namespace NS_Base
