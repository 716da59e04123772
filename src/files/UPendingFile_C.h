#pragma once

#include <string>
#include <string_view>

#include "files/UAtomicFile_C.h"
#include "foundation/UError_C.h"

// A whole file written beside its target, unnamed until Commit puts it in the target's place
// (UAtomicFile_C, which also follows links); until then the target is untouched, and a pending
// file that is never committed leaves nothing. This lets a second file wait until the first has
// been written. A FIFO, a device or "-" (standard output) cannot wait: it is written at once.
class UPendingFile_C {
public:
    // Writes `bytes`. A target that is a folder, or a new file that cannot be created or written
    // in the target's folder, fails with user error 1: "<target> : <reason>".
    UPendingFile_C(std::string target, std::string_view bytes);

    // Does all that can fail before the target is replaced (see UAtomicFile_C::Prepare).
    void Prepare();
    // Replaces the target by the written file; fails as the constructor does.
    void Commit();

    static const char* ClassName() { return "UPendingFile_C"; }

private:
    void Write(std::string_view bytes);
    static NS_Base::UError_C MakeError(int32_t code, const char* text);

    std::string target;
    NS_Data::UAtomicFile_C file;
};
