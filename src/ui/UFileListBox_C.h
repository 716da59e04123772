#pragma once

#include <cstdint>
#include <string>

#include "foundation/UError_C.h"
#include "ui/UListBox_C.h"

namespace NS_Wnd {

// The dialog's list of picture files: each entry shows a file's name and keeps its full path as
// the entry's value.
class UFileListBox_C : public UListBox_C {
public:
    explicit UFileListBox_C(QWidget* parent = nullptr);

    int32_t GetCount() const;
    // Appends an entry for `path`. An entry is either complete or absent: a path longer than
    // the system takes (a path record, 4095 bytes) is refused with code 1 and the path, and one
    // that memory cannot hold with code 3.
    void AddFilePath(const char* path);
    // The full path of entry `index`; the empty text for an index outside 0 ... GetCount() - 1.
    std::string GetFilePath(int32_t index) const;
    void RemoveAll();

    static const char* ClassName() { return "UFileListBox_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code, const char* extra = nullptr);
};

}  // namespace NS_Wnd
