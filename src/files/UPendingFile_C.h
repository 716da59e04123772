#pragma once

#include <string>
#include <string_view>

#include "foundation/UError_C.h"

// A whole file written beside its target under a temporary name, and moved over the target only
// by Commit; until then the target is untouched, and a pending file that is never committed is
// removed. This lets a second file wait until the first has been written.
class UPendingFile_C {
public:
    // Writes `bytes`. A target that is a folder, or a temporary file that cannot be created or
    // written in the target's folder, fails with user error 1 naming the target.
    UPendingFile_C(std::string target, std::string_view bytes);
    UPendingFile_C(const UPendingFile_C&) = delete;
    UPendingFile_C& operator=(const UPendingFile_C&) = delete;
    ~UPendingFile_C();

    // Replaces the target by the written file; fails with user error 1 naming the target.
    void Commit();

    static const char* ClassName() { return "UPendingFile_C"; }

private:
    void Write(std::string_view bytes);
    static NS_Base::UError_C MakeError(int32_t code, const std::string& path);

    std::string target;
    std::string temporary;
};
