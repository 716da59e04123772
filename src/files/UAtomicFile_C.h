#pragma once

#include <sys/stat.h>

#include <string>

#include "foundation/UError_C.h"

namespace NS_Data {

struct UPendingName_S;

// A file written so that its name holds either the old content or the whole new one, never a
// part. A regular file (or a missing name) gets a new file in the same folder, unnamed while it
// is written (O_TMPFILE), given a temporary name beside it by Prepare and put in place by a
// rename only at Commit; a link is followed and its target replaced, the link kept. Where the
// file system has no unnamed files, the new file is named at once. A temporary name
// (".tavrin-….tmp" in the target's folder, as short whatever the target's name, holding the
// writer's process id) is removed again when the write is abandoned or the process is ended by
// SIGINT, SIGTERM or SIGHUP, for any number of files pending at once; one that a killed process
// left behind is removed by RemoveAbandoned. Preparing every file of a set before committing any
// lets the set fail without changing any of its targets. A FIFO or a character device cannot be
// replaced: Streams writes it in place, and the name "-" means standard output.
//
// Every failure raises code 1 "Fail to write the file:" with "<path> : <reason>" as extra text.
class UAtomicFile_C {
public:
    enum UTargets_E { RegularFiles, Streams };

    UAtomicFile_C() = default;
    UAtomicFile_C(const UAtomicFile_C&) = delete;
    UAtomicFile_C& operator=(const UAtomicFile_C&) = delete;
    // An open file that was not committed is abandoned.
    ~UAtomicFile_C();

    // Opens `path` for writing. With RegularFiles, anything but a regular file or a missing
    // name is refused.
    void Open(const char* path, UTargets_E targets);
    // The descriptor to write to; -1 when nothing is open.
    int GetDescriptor() const { return descriptor; }
    // Does everything that can fail before the rename: flushes, closes and names the new file.
    void Prepare();
    // Prepares, unless done, and puts the written bytes in place of the target.
    void Commit();
    // Abandons the write, whose failure had the errno value `reason`, and raises it.
    [[noreturn]] void Fail(int reason);
    // Closes without touching the target; a named temporary file is removed.
    void Abandon();
    // The file that Commit replaces (links followed); empty when written in place or not open.
    const std::string& GetTarget() const { return finalPath; }

    // Removes from the open folder `folder` the temporary files of processes of this host that
    // have ended (SIGKILL, the OOM killer): only regular files of this user, with no other name,
    // whose name has exactly the temporary form. Failures are ignored: the files merely stay.
    static void RemoveAbandoned(int folder);

    static const char* ClassName() { return "UAtomicFile_C"; }

private:
    void OpenInPlace(const struct stat& status, UTargets_E targets);
    void OpenBeside(const std::string& target);
    void OpenNamed();
    // Gives the unnamed file a temporary name beside the target.
    void LinkBeside();
    void Watch(const std::string& name);
    // The temporary name is gone: renamed or removed.
    void Forget();
    int OpenFolder() const;
    void CloseFolder();
    void CloseDescriptor();
    [[noreturn]] void Raise(int reason, const char* text = nullptr) const;

    int descriptor = -1;
    bool inPlace = false;
    bool prepared = false;
    // The signal handlers' record of the temporary name; null while there is none.
    UPendingName_S* watched = nullptr;
    std::string path;
    // The file that Commit renames; empty while the file has no name, and in place.
    std::string finalPath;
    std::string folderPath;
    // The target's folder, open while the file is written and while it is put in place, not in
    // between: a multipack of 1000 sheets would otherwise hold 1000 descriptors.
    int folder = -1;
    // The temporary name in that folder; empty while there is none.
    std::string temporaryName;
};

}  // namespace NS_Data
