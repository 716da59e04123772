#pragma once

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "files/PathRecord_S.h"
#include "foundation/UError_C.h"

// Turns the paths a user names into a stream of existing file paths: folders are expanded,
// breadth-first and at any depth, into everything beneath them. Every path is tested when it
// reaches the head of the queue, not when it is added. File types are not judged here.
class UFileAbyss_C {
public:
    UFileAbyss_C() = default;
    UFileAbyss_C(const UFileAbyss_C&) = delete;
    UFileAbyss_C& operator=(const UFileAbyss_C&) = delete;

    // Queues a copy of `path` behind the pending ones without testing it. A path longer than a
    // record holds (longer than the system takes) fails with code 2 and queues nothing.
    void AddPath(const char* path);
    // Discards every pending path.
    void Clear();
    // Every folder listed from now on is added to `listed` (null: none), as it was reached:
    // what a build that read the files depends on, as a file added there changes its time.
    void TellFolders(std::vector<std::string>* listed) { folders = listed; }

    // Returns 0 with the next file path in `out`, or 1 when nothing is pending any more. A path
    // that names nothing fails with code 1; the paths behind it stay pending. A folder whose
    // entry would not fit a record fails with code 2 after the rest of it has been queued. A
    // folder that cannot be listed fails with code 3, naming it and the system's reason; what it
    // listed before the failure stays pending.
    int GetNextFile(PathRecord_S& out);

    static const char* ClassName() { return "UFileAbyss_C"; }

private:
    using UFolderKey_S = std::pair<dev_t, ino_t>;
    // A pending path and the walk it belongs to: the index of the added path it came from. Kept
    // as a string, not a record: a folder of 100000 pictures would queue 400 MB of records.
    struct UPending_S {
        std::string path;
        std::size_t walk;
    };

    // Queues every entry of the folder but "." and ".." in the folder's walk; returns the first
    // entry path that did not fit a record, or an empty text. Raises code 3 when the folder
    // cannot be read.
    std::string ListFolder(const UPending_S& folder);

    static NS_Base::UError_C MakeError(int32_t code, const char* path);
    static NS_Base::UError_C MakeListingError(const char* folder);

    std::deque<UPending_S> pending;
    // For each walk, the folders it listed since the queue was last empty, so that a link
    // leading back into one of them ends the walk instead of feeding it forever. A folder that
    // two added paths reach is listed by both, as a file named twice is handed out twice.
    std::vector<std::set<UFolderKey_S>> listedFolders;
    std::vector<std::string>* folders = nullptr;
};
