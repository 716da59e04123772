#pragma once

#include <string>
#include <string_view>

#include "files/UAtomicFile_C.h"
#include "foundation/UError_C.h"

// Writes whole files beside their targets, unnamed until their UAtomicFile_C (or the set that
// holds it, UFileSet_C) puts them in place; until then the target is untouched, and a file that
// is never committed leaves nothing. This lets a second file wait until the first has been
// written. A FIFO, a device or "-" (standard output) cannot wait: it is written at once.
class UPendingFile_C {
public:
    // Opens `file` on `target`, writes `bytes` and prepares it (UAtomicFile_C::Prepare). A
    // target that is a folder, or a new file that cannot be created or written in the target's
    // folder, fails with user error 1: "<target> : <reason>".
    static void Write(NS_Data::UAtomicFile_C& file, const std::string& target,
                      std::string_view bytes);

    static const char* ClassName() { return "UPendingFile_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code, const char* text);
};
