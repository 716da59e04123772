#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/ShownText.h"

namespace NS_Base {

// One entry of a class's message table; a table ends with the entry whose code is 0.
struct UMessage_S {
    int32_t code;
    const char* message;
};

enum UErrorKind_E : int32_t { UserError = 0, SystemError = 1 };

// The one failure record of the program: built by the raising class from its own message table,
// thrown by value, and shown to the user by whoever catches it.
class UError_C {
public:
    // Each text field holds at most this many bytes including its terminating zero.
    static constexpr std::size_t TextCapacity = 400;

    // Receives a finished notice. `owner` is the window that owns the notice, or null.
    using UNotice_F = void (*)(void* owner, const char* caption, const char* text);

    UError_C(int32_t code, int32_t kind, const char* position, const UMessage_S* table,
             const char* extra = nullptr);

    int32_t GetCode() const { return code; }
    int32_t GetKind() const { return kind; }
    const char* GetPosition() const { return position; }
    const char* GetInfo() const { return info; }
    const char* GetInfoEx() const { return infoEx; }

    // "UserError" or "SystemError".
    const char* GetCaption() const;
    // The caption as the user reads it, in the installed translation (ShownText).
    std::string ComposeCaption() const;
    // The text a notice shows, in the installed translation: the message alone for user errors,
    // labelled lines for system errors; at most TextCapacity - 1 bytes.
    std::string ComposeText() const;

    // Hands caption and text to the notice function that the running program installed.
    void Show(void* owner) const;
    // Installs the notice of this program; null restores the default, which prints
    // "caption: text" to standard error.
    static void SetNotice(UNotice_F notice);

private:
    int32_t code;
    int32_t kind;
    char position[TextCapacity];
    char info[TextCapacity];
    char infoEx[TextCapacity];
};

// Copies `source` into a buffer of `capacity` bytes, cutting it short of the capacity at a UTF-8
// character boundary; the result is always zero-terminated.
void CopyText(char* target, std::size_t capacity, const char* source);
// As CopyText, for text shown to people: file names are bytes, so every invalid UTF-8 sequence
// (each maximal invalid part) becomes U+FFFD.
void CopyShownText(char* target, std::size_t capacity, const char* source);

}  // namespace NS_Base
