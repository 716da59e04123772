#include "files/UChangeWatch_C.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "foundation/UError_C.h"

namespace NS_Data {
namespace {

constexpr uint32_t Changes = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                             IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

UChangeWatch_C::UChangeWatch_C(const std::vector<std::string>& folders, UIgnored_F ignore)
    : descriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), ignored(std::move(ignore)) {
    if (descriptor < 0) {
        Fail(1, "inotify");
    }
    for (const std::string& folder : folders) {
        const int watch = ::inotify_add_watch(descriptor, folder.c_str(), Changes | IN_ONLYDIR);
        if (watch < 0) {
            const std::string reason = folder + " : " + std::strerror(errno);
            ::close(descriptor);
            Fail(1, reason);
        }
        watched[watch] = folder;
    }
}

UChangeWatch_C::~UChangeWatch_C() {
    ::close(descriptor);
}

std::vector<std::string> UChangeWatch_C::Wait(int32_t quietMs, int32_t timeoutMs) {
    std::vector<std::string> changed;
    const int64_t end = timeoutMs < 0 ? -1 : Now() + timeoutMs;
    while (changed.empty()) {
        const int64_t left = end < 0 ? -1 : std::max<int64_t>(0, end - Now());
        pollfd ready{descriptor, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(left)) == 0) {
            return {};
        }
        Read(changed);
    }
    // Quiet means a whole interval without events, however long the save takes.
    for (pollfd ready{descriptor, POLLIN, 0}; ::poll(&ready, 1, quietMs) > 0;) {
        Read(changed);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

void UChangeWatch_C::Read(std::vector<std::string>& changed) {
    alignas(inotify_event) char events[16384];
    const ssize_t length = ::read(descriptor, events, sizeof(events));
    for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->mask & IN_Q_OVERFLOW) {
            // Events were lost: anything may have changed.
            for (const auto& [watch, folder] : watched) {
                changed.push_back(folder);
            }
        }
        const auto folder = watched.find(event->wd);
        if (folder == watched.end()) {
            continue;
        }
        std::string path = folder->second;
        if (event->len > 0) {
            path += (path.ends_with('/') ? "" : "/") + std::string(event->name);
        }
        if (!ignored || !ignored(path)) {
            changed.push_back(std::move(path));
        }
    }
}

void UChangeWatch_C::Fail(int32_t code, const std::string& path) const {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, "Cannot watch the folder for changes:"},
        {0, nullptr},
    };
    throw NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table, path.c_str());
}

}  // namespace NS_Data
