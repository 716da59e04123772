#include "files/UAtomicFile_C.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <mutex>
#include <string_view>
#include <utility>

#include "files/PathUtilities.h"
#include "files/USignalBlock_C.h"

namespace NS_Data {

// The named temporary files that an ending signal removes, however many are pending at once (a
// sheet and its data file, or the sheets of a multipack). The handler may run on any thread
// while another changes the list, so nodes are published whole, marked done rather than
// unlinked from the list, and freed only while no handler is installed.
struct UPendingName_S {
    std::atomic<bool> pending{true};
    UPendingName_S* next = nullptr;
    // The folder and the name within it, apart, so that a target whose path is as long as the
    // system takes still has room for a temporary name beside it.
    char folder[PATH_MAX];
    char name[NAME_MAX + 1];
};
namespace {

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int MaxLinks = 40;
constexpr const int (&CleanupSignals)[3] = USignalBlock_C::EndingSignals;

std::atomic<UPendingName_S*> pendingNames{nullptr};
// Changed only with the ending signals blocked on the changing thread, and under this lock.
std::mutex watching;
int watchedCount = 0;
struct sigaction previousActions[std::size(CleanupSignals)];
bool handlersInstalled[std::size(CleanupSignals)];

void RemovePendingAndEnd(int signal) {
    // Another thread is putting files in place: it ends the process once they all are.
    if (USignalBlock_C::Defer(signal)) {
        return;
    }
    for (UPendingName_S* node = pendingNames.load(); node; node = node->next) {
        if (node->pending.load()) {
            const int folder = ::open(node->folder, O_PATH | O_DIRECTORY | O_CLOEXEC);
            ::unlinkat(folder, node->name, 0);
            ::close(folder);
        }
    }
    for (std::size_t i = 0; i < std::size(CleanupSignals); ++i) {
        if (CleanupSignals[i] == signal) {
            ::sigaction(signal, &previousActions[i], nullptr);
        }
    }
    // Delivered on return, now with the action the process had before.
    ::raise(signal);
}

// The handlers go in with the first pending name and out with the last, so the actions they
// restore are always the ones the process had; signals that the user set to be ignored stay
// ignored.
void InstallHandlers() {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndEnd;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(CleanupSignals); ++i) {
        ::sigaction(CleanupSignals[i], nullptr, &previousActions[i]);
        handlersInstalled[i] = previousActions[i].sa_handler != SIG_IGN;
        if (handlersInstalled[i]) {
            ::sigaction(CleanupSignals[i], &action, nullptr);
        }
    }
}

void RemoveHandlers() {
    for (std::size_t i = 0; i < std::size(CleanupSignals); ++i) {
        if (handlersInstalled[i]) {
            ::sigaction(CleanupSignals[i], &previousActions[i], nullptr);
            handlersInstalled[i] = false;
        }
    }
    UPendingName_S* node = pendingNames.exchange(nullptr);
    while (node) {
        delete std::exchange(node, node->next);
    }
}

UPendingName_S* WatchPending(const std::string& folder, const std::string& name) {
    const std::lock_guard lock(watching);
    auto* node = new UPendingName_S;
    std::strncpy(node->folder, folder.c_str(), sizeof node->folder - 1);
    node->folder[sizeof node->folder - 1] = '\0';
    std::strncpy(node->name, name.c_str(), sizeof node->name - 1);
    node->name[sizeof node->name - 1] = '\0';
    node->next = pendingNames.load();
    pendingNames.store(node);
    if (watchedCount++ == 0) {
        InstallHandlers();
    }
    return node;
}

void StopWatching(UPendingName_S* node) {
    const std::lock_guard lock(watching);
    node->pending.store(false);
    if (--watchedCount == 0) {
        RemoveHandlers();
    }
}

// Only test builds can be told to write named temporary files, as on a file system without
// unnamed ones (TAVRIN_TEST_STOP_WRITING=named).
bool ForceNamedFiles() {
#ifdef TAVRIN_TEST_HOOKS
    const char* hook = std::getenv("TAVRIN_TEST_STOP_WRITING");
    return hook && std::strcmp(hook, "named") == 0;
#else
    return false;
#endif
}

// Temporary names are ".tavrin-HOST-PID-N.tmp" in the target's folder: as short whatever the
// target's name (about 40 bytes), and telling which process left them. HOST, a hash of the host's
// name, keeps a run on another machine sharing the folder, whose process ids mean nothing here,
// from taking this one's temporaries for abandoned ones. N counts over the whole process, so any
// number of files may be pending in one folder and each name costs one system call.
std::atomic<std::uint64_t> temporaryCount{0};
constexpr std::string_view TemporaryStart = ".tavrin-";
constexpr std::string_view TemporaryEnd = ".tmp";
// Only a name left by an earlier process of the same id can be taken already.
constexpr int NameAttempts = 100;

const std::string& HostTag() {
    static const std::string tag = [] {
        char host[HOST_NAME_MAX + 1] = {};
        ::gethostname(host, sizeof host - 1);
        std::uint32_t hash = 2166136261u;
        for (const char* c = host; *c; ++c) {
            hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
        }
        char text[9];
        std::snprintf(text, sizeof text, "%08x", hash);
        return std::string(text);
    }();
    return tag;
}

std::string NextTemporaryName() {
    return std::string(TemporaryStart) + HostTag() + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(temporaryCount++) + std::string(TemporaryEnd);
}

// Digits only, without a leading zero, as std::to_string writes them; false when not.
bool ReadNumber(std::string_view text, std::uint64_t& value) {
    if (text.empty() || (text.size() > 1 && text.front() == '0')) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// True for a temporary name written on this host by a process that has ended. A live process
// that took over the id keeps the file, which is the safe mistake.
bool IsAbandoned(std::string_view name) {
    const std::string start = std::string(TemporaryStart) + HostTag() + "-";
    if (!name.starts_with(start) || !name.ends_with(TemporaryEnd)) {
        return false;
    }
    name = name.substr(start.size(), name.size() - start.size() - TemporaryEnd.size());
    const std::size_t dash = name.find('-');
    std::uint64_t id = 0;
    std::uint64_t count = 0;
    if (dash == std::string_view::npos || !ReadNumber(name.substr(0, dash), id) ||
        !ReadNumber(name.substr(dash + 1), count) || id == 0 ||
        id > static_cast<std::uint64_t>(std::numeric_limits<pid_t>::max()) ||
        static_cast<pid_t>(id) == ::getpid()) {
        return false;
    }
    return ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

// The name at the end of the links that start at `path`; empty, with errno ELOOP, on a loop.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < MaxLinks; ++hops) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0 || static_cast<std::size_t>(length) == sizeof target) {
            return path;
        }
        const std::string next(target, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : GetFolderPath(path) + next;
    }
    errno = ELOOP;
    return {};
}

// A replaced file keeps its permissions; a new one gets the usual ones.
mode_t ModeFor(const struct stat* existing) {
    if (existing) {
        return existing->st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

UAtomicFile_C::~UAtomicFile_C() {
    Abandon();
}

void UAtomicFile_C::Open(const char* newPath, UTargets_E targets) {
    Abandon();
    path = newPath;
    if (targets == Streams && path == "-") {
        inPlace = true;
        descriptor = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (descriptor < 0) {
            Raise(errno);
        }
        return;
    }
    struct stat status {};
    const bool exists = ::stat(newPath, &status) == 0;
    if (!exists && errno != ENOENT) {
        Raise(errno);
    }
    if (exists && !S_ISREG(status.st_mode)) {
        OpenInPlace(status, targets);
        return;
    }
    const std::string target = FollowLinks(path);
    if (target.empty()) {
        Raise(errno);
    }
    OpenBeside(target);
    if (exists && ::fchown(descriptor, status.st_uid, status.st_gid) != 0) {
        // Only a privileged process may give the new file the old one's owner.
    }
    if (::fchmod(descriptor, ModeFor(exists ? &status : nullptr)) != 0) {
        Fail(errno);
    }
}

void UAtomicFile_C::OpenInPlace(const struct stat& status, UTargets_E targets) {
    if (S_ISDIR(status.st_mode)) {
        Raise(EISDIR);
    }
    if (targets != Streams || !(S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode))) {
        Raise(0, targets == Streams ? "not a regular file, FIFO or character device"
                                    : "not a regular file");
    }
    inPlace = true;
    descriptor = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        Raise(errno);
    }
}

void UAtomicFile_C::OpenBeside(const std::string& target) {
    finalPath = target;
    folderPath = GetFolderPath(target);
    folder = OpenFolder();
    if (folder < 0) {
        Raise(errno);
    }
    if (ForceNamedFiles()) {
        OpenNamed();
        return;
    }
    // Readable too: a sheet's build record hashes the bytes written before it.
    descriptor = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    // EISDIR comes from kernels older than unnamed files.
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        OpenNamed();
    } else if (descriptor < 0) {
        Raise(errno);
    }
}

void UAtomicFile_C::OpenNamed() {
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string name = NextTemporaryName();
        USignalBlock_C block;
        descriptor = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (descriptor >= 0) {
            Watch(name);
            return;
        }
        if (errno != EEXIST) {
            Raise(errno);
        }
    }
    Raise(EEXIST);
}

void UAtomicFile_C::Watch(const std::string& name) {
    temporaryName = name;
    watched = WatchPending(folderPath, name);
}

void UAtomicFile_C::LinkBeside() {
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string name = NextTemporaryName();
        int linked = ::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == ENOENT) {
            // No /proc: the direct form, which needs more privilege.
            linked = ::linkat(descriptor, "", folder, name.c_str(), AT_EMPTY_PATH);
        }
        if (linked == 0) {
            Watch(name);
            return;
        }
        if (errno != EEXIST) {
            Fail(errno);
        }
    }
    Fail(EEXIST);
}

void UAtomicFile_C::RemoveAbandoned(int folder) {
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!entries) {
        if (listed >= 0) {
            ::close(listed);
        }
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        struct stat status {};
        // Only a plain file of ours with no other name: never a link, a folder or a shared file.
        if (IsAbandoned(entry->d_name) &&
            ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && status.st_nlink == 1) {
            ::unlinkat(folder, entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

void UAtomicFile_C::Prepare() {
    if (descriptor < 0) {
        if (prepared) {
            return;
        }
        Raise(EBADF);
    }
    if (!inPlace && ::fsync(descriptor) != 0) {
        Fail(errno);
    }
    USignalBlock_C block;
    if (!inPlace && temporaryName.empty()) {
        LinkBeside();
    }
    CloseFolder();
    const int closed = ::close(descriptor);
    descriptor = -1;
    if (closed != 0 && errno != EINTR) {
        Fail(errno);
    }
    prepared = true;
}

void UAtomicFile_C::Commit() {
    Prepare();
    USignalBlock_C block;
    if (!inPlace) {
        folder = OpenFolder();
        if (::renameat(folder, temporaryName.c_str(), folder, GetFileName(finalPath.c_str())) !=
            0) {
            Fail(errno);
        }
    }
    Forget();
    Abandon();
}

void UAtomicFile_C::Fail(int reason) {
    Abandon();
    Raise(reason);
}

void UAtomicFile_C::Abandon() {
    CloseDescriptor();
    if (!temporaryName.empty()) {
        USignalBlock_C block;
        if (folder < 0) {
            folder = OpenFolder();
        }
        ::unlinkat(folder, temporaryName.c_str(), 0);
        Forget();
    }
    CloseFolder();
    inPlace = false;
    prepared = false;
    finalPath.clear();
}

void UAtomicFile_C::Forget() {
    temporaryName.clear();
    if (watched) {
        StopWatching(watched);
        watched = nullptr;
    }
}

int UAtomicFile_C::OpenFolder() const {
    return ::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

void UAtomicFile_C::CloseFolder() {
    if (folder >= 0) {
        ::close(folder);
        folder = -1;
    }
}

void UAtomicFile_C::CloseDescriptor() {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}

void UAtomicFile_C::Raise(int reason, const char* text) const {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to write the file:")},
        {0, nullptr},
    };
    const std::string extra = path + " : " + (text ? text : std::strerror(reason));
    throw NS_Base::UError_C(1, NS_Base::UserError, ClassName(), table, extra.c_str());
}

}  // namespace NS_Data
