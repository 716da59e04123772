#include "files/UAtomicFile_C.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <utility>

#include "files/PathUtilities.h"

namespace NS_Data {

// The named temporary files that an ending signal removes, however many are pending at once (a
// sheet and its data file, or the sheets of a multipack). The handler may run on any thread
// while another changes the list, so nodes are published whole, marked done rather than
// unlinked from the list, and freed only while no handler is installed.
struct UPendingName_S {
    std::atomic<bool> pending{true};
    UPendingName_S* next = nullptr;
    char name[PATH_MAX];
};
namespace {

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int MaxLinks = 40;
constexpr int CleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<UPendingName_S*> pendingNames{nullptr};
// Changed only with the ending signals blocked on the changing thread, and under this lock.
std::mutex watching;
int watchedCount = 0;
struct sigaction previousActions[std::size(CleanupSignals)];
bool handlersInstalled[std::size(CleanupSignals)];

void RemovePendingAndEnd(int signal) {
    for (UPendingName_S* node = pendingNames.load(); node; node = node->next) {
        if (node->pending.load()) {
            ::unlink(node->name);
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

UPendingName_S* WatchPending(const std::string& name) {
    const std::lock_guard lock(watching);
    auto* node = new UPendingName_S;
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

// Holds the ending signals back while a temporary name exists that no handler would remove.
class USignalBlock_C {
public:
    USignalBlock_C() {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (const int signal : CleanupSignals) {
            sigaddset(&blocked, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    }
    ~USignalBlock_C() { ::pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
    USignalBlock_C(const USignalBlock_C&) = delete;
    USignalBlock_C& operator=(const USignalBlock_C&) = delete;

private:
    sigset_t previous;
};

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

// A temporary name in the folder of `target` that fits wherever the target's own name fits:
// it does not grow with the target's name.
std::string TemporaryName(const std::string& target, const std::string& tail) {
    return GetFolderPath(target) + ".tavrin-" + tail + ".tmp";
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
    if (ForceNamedFiles()) {
        OpenNamed();
        return;
    }
    descriptor = ::open(GetFolderPath(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    // EISDIR comes from kernels older than unnamed files.
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        OpenNamed();
    } else if (descriptor < 0) {
        Raise(errno);
    }
}

void UAtomicFile_C::OpenNamed() {
    std::string name = TemporaryName(finalPath, "XXXXXX");
    USignalBlock_C block;
    descriptor = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (descriptor < 0) {
        Raise(errno);
    }
    Watch(name);
}

void UAtomicFile_C::Watch(const std::string& name) {
    temporaryPath = name;
    watched = WatchPending(name);
}

void UAtomicFile_C::LinkBeside() {
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            TemporaryName(finalPath, std::to_string(::getpid()) + "-" + std::to_string(attempt));
        int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == ENOENT) {
            // No /proc: the direct form, which needs more privilege.
            linked = ::linkat(descriptor, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
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
    if (!inPlace && temporaryPath.empty()) {
        LinkBeside();
    }
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
    if (!inPlace && ::rename(temporaryPath.c_str(), finalPath.c_str()) != 0) {
        Fail(errno);
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
    if (!temporaryPath.empty()) {
        USignalBlock_C block;
        ::unlink(temporaryPath.c_str());
        Forget();
    }
    inPlace = false;
    prepared = false;
    finalPath.clear();
}

void UAtomicFile_C::Forget() {
    temporaryPath.clear();
    if (watched) {
        StopWatching(watched);
        watched = nullptr;
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
        {1, "Fail to write the file:"},
        {0, nullptr},
    };
    const std::string extra = path + " : " + (text ? text : std::strerror(reason));
    throw NS_Base::UError_C(1, NS_Base::UserError, ClassName(), table, extra.c_str());
}

}  // namespace NS_Data
