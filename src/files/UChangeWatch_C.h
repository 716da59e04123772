#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace NS_Data {

// Tells of changes in a set of folders as the kernel reports them (inotify): an entry created,
// written and closed, removed, moved in or out, or its times changed. Watching the folders rather
// than the files also sees a file that an editor replaces by renaming a new one over it, and a
// picture added to a folder. Entries whose paths `ignored` accepts are no changes.
class UChangeWatch_C {
public:
    using UIgnored_F = std::function<bool(const std::string& path)>;

    UChangeWatch_C(const std::vector<std::string>& folders, UIgnored_F ignored);
    ~UChangeWatch_C();
    UChangeWatch_C(const UChangeWatch_C&) = delete;
    UChangeWatch_C& operator=(const UChangeWatch_C&) = delete;

    // Waits for a change, then until `quietMs` pass without another, so that a save that takes
    // several steps is one change; returns each changed path once. Empty when nothing changed
    // within `timeoutMs` (-1: no limit).
    std::vector<std::string> Wait(int32_t quietMs, int32_t timeoutMs = -1);

    const char* ClassName() const { return "UChangeWatch_C"; }

private:
    // The changed paths among the events waiting; none when nothing waits.
    void Read(std::vector<std::string>& changed);
    [[noreturn]] void Fail(int32_t code, const std::string& path) const;

    int descriptor = -1;
    std::unordered_map<int, std::string> watched;
    UIgnored_F ignored;
};

}  // namespace NS_Data
