#pragma once

#include <cstddef>
#include <cstdint>

#include "files/PathRecord_S.h"
#include "foundation/UError_C.h"
#include "ui/UListBox_C.h"

namespace NS_Wnd {

// The dialog's list of picture files: each entry shows a file's name and owns a 200-byte block
// with its full path. The blocks are freed when the list is emptied and when the control is
// destroyed.
class UFileListBox_C : public UListBox_C {
public:
    // Bytes of one path block, terminating zero included.
    static constexpr std::size_t PathCapacity = PathRecord_S::Capacity;

    explicit UFileListBox_C(QWidget* parent = nullptr);
    ~UFileListBox_C() override;

    int32_t GetCount() const;
    // Appends an entry for `path`. An entry is either complete or absent: a path that does not
    // fit its block is refused with code 1 and the path.
    void AddFilePath(const char* path);
    // Copies the full path of entry `index` (0 ... GetCount() - 1) into `out`, which holds
    // PathCapacity bytes; an index outside the list gives the empty text.
    void GetFilePath(int32_t index, char* out) const;
    void RemoveAll();

    static const char* ClassName() { return "UFileListBox_C"; }

private:
    static NS_Base::UError_C MakeError(int32_t code, const char* extra = nullptr);
    char* GetBlock(int32_t index) const;
};

}  // namespace NS_Wnd
