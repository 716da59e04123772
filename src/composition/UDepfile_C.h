#pragma once

#include <string>
#include <vector>

#include "foundation/UError_C.h"

namespace NS_Data {

// The files a build wrote and those it read, in the Makefile form compilers write with -MD and
// -MP, which make includes and ninja reads (depfile, deps = gcc): the outputs as targets of one
// rule, each picture and folder as its prerequisites, and an empty rule for each of those, so
// that make does not stop when one is deleted.
class UDepfile_C {
public:
    // The text; a path with a control character (a line break, a tab, ...), which the form
    // cannot spell (ninja ends a name there), raises code 1.
    static std::string MakeRule(const std::vector<std::string>& targets,
                                const std::vector<std::string>& prerequisites);
    // Raises as MakeRule does for a path of `paths` it cannot spell, before anything is written.
    static void CheckPaths(const std::vector<std::string>& paths);
    // Puts `text` at `path` whole, or raises as UPendingFile_C does.
    static void Write(const std::string& path, const std::string& text);

    static const char* ClassName() { return "UDepfile_C"; }

private:
    static void AddPath(std::string& text, const std::string& path);
    static NS_Base::UError_C MakeError(int32_t code, const char* text);
};

}  // namespace NS_Data
