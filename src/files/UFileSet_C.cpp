#include "files/UFileSet_C.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <tuple>

#include "files/PathUtilities.h"
#include "files/USignalBlock_C.h"

namespace NS_Data {
namespace {

// The folders of a set, each open and locked while the object lives.
class UFolderLocks_C {
public:
    explicit UFolderLocks_C(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            Open(GetFolderPath(path));
        }
        // One order for every run, whatever order its files came in.
        std::ranges::sort(folders, {},
                          [](const UFolder_S& f) { return std::tie(f.device, f.inode); });
        for (const UFolder_S& folder : folders) {
            while (::flock(folder.descriptor, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~UFolderLocks_C() {
        for (const UFolder_S& folder : folders) {
            ::close(folder.descriptor);
        }
    }
    UFolderLocks_C(const UFolderLocks_C&) = delete;
    UFolderLocks_C& operator=(const UFolderLocks_C&) = delete;

    void RemoveAbandoned() const {
        for (const UFolder_S& folder : folders) {
            UAtomicFile_C::RemoveAbandoned(folder.descriptor);
        }
    }

private:
    struct UFolder_S {
        int descriptor;
        dev_t device;
        ino_t inode;
    };

    // A folder that cannot be opened is left unlocked: its rename fails by itself.
    void Open(const std::string& folder) {
        const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat status {};
        if (descriptor < 0 || ::fstat(descriptor, &status) != 0 ||
            std::ranges::any_of(folders, [&](const UFolder_S& f) {
                return f.device == status.st_dev && f.inode == status.st_ino;
            })) {
            if (descriptor >= 0) {
                ::close(descriptor);
            }
            return;
        }
        folders.push_back({descriptor, status.st_dev, status.st_ino});
    }

    std::vector<UFolder_S> folders;
};

}  // namespace

UAtomicFile_C& UFileSet_C::Add() {
    return *files.emplace_back(std::make_unique<UAtomicFile_C>());
}

void UFileSet_C::Commit(const std::vector<std::string>& stale) {
    std::vector<std::string> paths = stale;
    for (const auto& file : files) {
        file->Prepare();
        if (!file->GetTarget().empty()) {
            paths.push_back(file->GetTarget());
        }
    }
    const UFolderLocks_C locks(paths);
    RenameAndRemove(stale);
    locks.RemoveAbandoned();
}

void UFileSet_C::RenameAndRemove(const std::vector<std::string>& stale) {
    const USignalBlock_C block;
    for (const auto& file : files) {
        file->Commit();
    }
    files.clear();
    std::string failed;
    for (const std::string& path : stale) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT && failed.empty()) {
            failed = path + " : " + std::strerror(errno);
        }
    }
    if (!failed.empty()) {
        static constexpr NS_Base::UMessage_S table[] = {
            {1, TR_NOOP("UError_C", "Fail to remove the file:")},
            {0, nullptr},
        };
        throw NS_Base::UError_C(1, NS_Base::UserError, ClassName(), table, failed.c_str());
    }
}

}  // namespace NS_Data
