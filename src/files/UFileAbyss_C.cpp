#include "files/UFileAbyss_C.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace {

struct DirCloser_S {
    void operator()(DIR* folder) const { closedir(folder); }
};

// The text that goes before an entry name: the folder and one separator, unless the folder
// already ends with one, as the root "/" does.
std::string MakePrefix(const char* folder) {
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/') {
        prefix += '/';
    }
    return prefix;
}

bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

void UFileAbyss_C::AddPath(const char* path) {
    if (!PathRecord_S::Fits(path)) {
        throw MakeError(2, path);
    }
    pending.push_back({path, listedFolders.size()});
    listedFolders.emplace_back();
}

void UFileAbyss_C::Clear() {
    pending.clear();
    listedFolders.clear();
}

int UFileAbyss_C::GetNextFile(PathRecord_S& out) {
    for (;;) {
        if (pending.empty()) {
            listedFolders.clear();
            return 1;
        }
        const UPending_S next = std::move(pending.front());
        pending.pop_front();
        out.Store(next.path);
        struct stat entry;
        if (stat(out.path, &entry) != 0) {
            // A link that leads nowhere is still an entry: it is handed out as a file, and
            // whoever opens it reports that it cannot be read.
            if (lstat(out.path, &entry) != 0) {
                throw MakeError(1, out.path);
            }
            return 0;
        }
        if (!S_ISDIR(entry.st_mode)) {
            return 0;
        }
        if (!listedFolders[next.walk].insert({entry.st_dev, entry.st_ino}).second) {
            continue;
        }
        if (folders) {
            folders->push_back(next.path);
        }
        const std::string tooLong = ListFolder(next);
        if (!tooLong.empty()) {
            throw MakeError(2, tooLong.c_str());
        }
    }
}

std::string UFileAbyss_C::ListFolder(const UPending_S& folder) {
    const std::unique_ptr<DIR, DirCloser_S> listing(opendir(folder.path.c_str()));
    if (!listing) {
        throw MakeListingError(folder.path.c_str());
    }
    const std::string prefix = MakePrefix(folder.path.c_str());
    std::string firstTooLong;
    // Only errno tells the end of a folder from a failure to read the rest of it.
    errno = 0;
    while (const dirent* item = readdir(listing.get())) {
        if (IsDotOrDotDot(item->d_name)) {
            continue;
        }
        std::string path = prefix + item->d_name;
        if (PathRecord_S::Fits(path)) {
            pending.push_back({std::move(path), folder.walk});
        } else if (firstTooLong.empty()) {
            firstTooLong = path;
        }
        errno = 0;
    }
    if (errno != 0) {
        throw MakeListingError(folder.path.c_str());
    }
    return firstTooLong;
}

// A folder that cannot be listed would leave its pictures out of the sheet unseen, so it fails
// the walk as an unreadable picture fails the compose; errno still holds the cause.
NS_Base::UError_C UFileAbyss_C::MakeListingError(const char* folder) {
    const std::string extra = std::string(folder) + " : " + std::strerror(errno);
    return MakeError(3, extra.c_str());
}

NS_Base::UError_C UFileAbyss_C::MakeError(int32_t code, const char* path) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Inaccurate file path or directory:")},
        {2, TR_NOOP("UError_C", "File path is too long:")},
        {3, TR_NOOP("UError_C", "Fail to list directory:")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, path);
}
