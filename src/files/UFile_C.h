#pragma once

#include <cstddef>
#include <cstdint>

#include "files/PathRecord_S.h"
#include "files/UAtomicFile_C.h"
#include "foundation/UBuffer_C.h"
#include "foundation/UError_C.h"

namespace NS_Data {

// A regular file open either for reading or for writing, its bytes passing through the
// 30000-byte buffer: reads ask the system for whole blocks, writes hand it whole blocks and the
// rest at Close. A written file takes the place of the old one only at a successful Close
// (UAtomicFile_C), so an interrupted or failed write leaves the old file, or none, as it was.
class UFile_C : protected UBuffer_C {
public:
    enum UState_E : int32_t { Closed = 0, Reading = 1, Writing = 2 };
    // The path is kept in this many bytes with its terminating zero.
    static constexpr std::size_t PathCapacity = PathRecord_S::Capacity;

    UFile_C() = default;
    ~UFile_C() override;

    // Opens an existing regular file for reading. Failure, anything but a regular file (a FIFO
    // included), or a path that does not fit PathCapacity raises user error 1 with the path; a
    // file already open raises system error 1.
    void Open(const char* path);
    // Starts a new file that Close puts in place of the old one (followed through links); like
    // Open, but user error 2. `attribute` (the hidden flag of another platform) has no
    // counterpart here and is ignored.
    void Create(const char* path, int32_t attribute = 0);
    // Writes out pending bytes and closes. A failed last write raises "Fail to write data." and
    // leaves the file open for writing, so that the destructor abandons the cut-short file.
    void Close();

    UState_E GetState() const { return state; }
    // Bytes that reads can still take: the buffered ones and the rest of the file.
    int64_t GetRemaining() const;

    static const char* ClassName() { return "UFile_C"; }

protected:
    int Refill() override;
    int Flush() override;

    // Raises system error 1 unless the file is in `wanted`.
    void CheckState(UState_E wanted) const;

private:
    // Takes a freshly opened descriptor, or raises user error `failureCode` for a failed one.
    void Adopt(int descriptor, const char* newPath, UState_E newState, int32_t failureCode);
    static int OpenRegular(const char* newPath);

    static NS_Base::UError_C MakeError(int32_t code, const char* extra);
    static NS_Base::UError_C MakeSystemError(int32_t code);

    UAtomicFile_C output;
    // The reading descriptor, or the output's while writing.
    int handle = -1;
    UState_E state = Closed;
    char path[PathCapacity] = {};
};

}  // namespace NS_Data
