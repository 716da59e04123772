#pragma once

#include <memory>
#include <string>
#include <vector>

#include "files/UAtomicFile_C.h"
#include "foundation/UError_C.h"

namespace NS_Data {

// The files of one output, put in place as one step: a sheet with its data file, or every sheet
// and data file of a multipack. Each file is written and prepared beside its target (see
// UAtomicFile_C) without any lock; only Commit locks, and only for the renames, so a run never
// waits while another encodes.
//
// Commit takes an exclusive lock (flock) on each folder the set writes in, in the order of the
// folders' device and inode numbers so that two runs cannot wait for each other, then holds
// SIGINT, SIGTERM and SIGHUP back over all the renames and removals. So a run ended by those
// signals leaves the whole old set or the whole new one, and of two runs writing the same set,
// the set on disk is one run's. A folder whose file system has no locks (flock fails, as on
// some network mounts) is written unlocked: the set is still whole against signals, but two
// concurrent runs are no longer kept apart. SIGKILL cannot be held; its window is the renames.
class UFileSet_C {
public:
    UFileSet_C() = default;
    UFileSet_C(const UFileSet_C&) = delete;
    UFileSet_C& operator=(const UFileSet_C&) = delete;

    // A new file of the set, for the caller to open, write and, if it likes, prepare. It belongs
    // to the set; one not committed is abandoned when the set ends.
    UAtomicFile_C& Add();
    // Prepares every file not yet prepared, then, as one step under the lock and the held
    // signals, puts each in place in the order added and removes each path of `stale` (one that
    // is already gone is no failure). Afterwards removes the temporaries that killed processes
    // left in those folders. A failed rename raises the file's own error at once, with the
    // files before it in place; a failed removal raises code 1 "Fail to remove the file:" with
    // "<path> : <reason>", once everything else is done.
    void Commit(const std::vector<std::string>& stale = {});

    static const char* ClassName() { return "UFileSet_C"; }

private:
    void RenameAndRemove(const std::vector<std::string>& stale);

    std::vector<std::unique_ptr<UAtomicFile_C>> files;
};

}  // namespace NS_Data
