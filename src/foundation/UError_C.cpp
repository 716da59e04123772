#include "foundation/UError_C.h"

#include <cstdio>
#include <cstring>

namespace NS_Base {
namespace {

void PrintNotice(void*, const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

UError_C::UNotice_F currentNotice = PrintNotice;
std::string Shown(const char* text) {
    return ShownText("UError_C", text);
}

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

// One character's worth of `text`: its length in bytes, and whether it is valid UTF-8. An
// invalid part is a lone byte, or a lead byte with the trail bytes that fit it so far.
struct UPiece_S {
    std::size_t length;
    bool valid;
};

UPiece_S NextPiece(const unsigned char* text) {
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        return {1, true};
    }
    int trails = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trails = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trails = 2;
        low = lead == 0xE0 ? 0xA0 : low;    // overlong
        high = lead == 0xED ? 0x9F : high;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trails = 3;
        low = lead == 0xF0 ? 0x90 : low;    // overlong
        high = lead == 0xF4 ? 0x8F : high;  // beyond U+10FFFF
    } else {
        return {1, false};
    }
    for (int i = 1; i <= trails; ++i) {
        // The terminating zero fails this test too.
        if (text[i] < low || text[i] > high) {
            return {static_cast<std::size_t>(i), false};
        }
        low = 0x80;
        high = 0xBF;
    }
    return {static_cast<std::size_t>(trails) + 1, true};
}

}  // namespace

void CopyShownText(char* target, std::size_t capacity, const char* source) {
    if (capacity == 0) {
        return;
    }
    static const char replacement[] = "\xEF\xBF\xBD";
    std::size_t used = 0;
    for (const char* at = source; at && *at != '\0';) {
        const UPiece_S piece = NextPiece(reinterpret_cast<const unsigned char*>(at));
        const char* shown = piece.valid ? at : replacement;
        const std::size_t length = piece.valid ? piece.length : 3;
        if (used + length > capacity - 1) {
            break;
        }
        std::memcpy(target + used, shown, length);
        used += length;
        at += piece.length;
    }
    target[used] = '\0';
}

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
    CopyShownText(infoEx, TextCapacity, extra);
    const char* message = TR_NOOP("UError_C", "Unexpected error.");
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

std::string UError_C::ComposeCaption() const {
    return kind == UserError ? Shown(TR_NOOP("UError_C", "UserError"))
                             : Shown(TR_NOOP("UError_C", "SystemError"));
}

std::string UError_C::ComposeText() const {
    std::string text;
    if (kind == SystemError) {
        text = Shown(TR_NOOP("UError_C", "Code:")) + " " + std::to_string(code) + "\r\n" +
               Shown(TR_NOOP("UError_C", "Info:")) + " " + Shown(info);
    } else {
        text = Shown(info);
    }
    if (infoEx[0] != '\0') {
        text += kind == SystemError ? "\r\n" + Shown(TR_NOOP("UError_C", "InfoEx:")) + " " : "\r\n";
        text += infoEx;
    }
    if (kind == SystemError) {
        text += "\r\n" + Shown(TR_NOOP("UError_C", "Position:")) + " ";
        text += position;
    }
    char bounded[TextCapacity];
    CopyText(bounded, TextCapacity, text.c_str());
    return bounded;
}

void UError_C::Show(void* owner) const {
    currentNotice(owner, ComposeCaption().c_str(), ComposeText().c_str());
}

void UError_C::SetNotice(UNotice_F notice) {
    currentNotice = notice ? notice : PrintNotice;
}

}  // namespace NS_Base
