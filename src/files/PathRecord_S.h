#pragma once

#include <limits.h>

#include <cstddef>
#include <cstring>
#include <string_view>

// A path kept in a fixed field as long as any path the system accepts: at most 4095 bytes of
// UTF-8 path and its terminating zero. Records are copied whole, so they hold no pointer and
// nothing to release; at 4 KiB each they are for single paths, not for long lists of them.
struct PathRecord_S {
    static constexpr std::size_t Capacity = PATH_MAX;
    static constexpr std::size_t MaxLength = Capacity - 1;

    char path[Capacity];

    static bool Fits(std::string_view text) { return text.size() <= MaxLength; }
    static bool Fits(const char* text) { return text && Fits(std::string_view(text)); }

    // Copies `text` in when it fits and returns true; otherwise leaves the record as it was.
    bool Store(std::string_view text) {
        if (!Fits(text)) {
            return false;
        }
        std::memcpy(path, text.data(), text.size());
        path[text.size()] = '\0';
        return true;
    }
};
