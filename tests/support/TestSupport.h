#pragma once

// Helpers shared by every test program: temporary folders, whole-file access, raised errors.

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/UError_C.h"

using Bytes = std::vector<unsigned char>;

// A fresh directory, removed with everything in it. It is made in /tmp whatever TMPDIR says, so
// that every root is 19 bytes of plain letters: tests that fill a path to its limit or quote it
// come out the same on every machine.
struct UTempDirectory {
    UTempDirectory() {
        std::string pattern = "/tmp/tavrin-XXXXXX";
        root = mkdtemp(pattern.data()) ? pattern + "/" : "/nonexistent/";
    }
    ~UTempDirectory() { std::filesystem::remove_all(root, ignored); }

    std::string root;  // ends with '/'
    std::error_code ignored;
};

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Text(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

// While it lives, no file this process or its children write may grow beyond `bytes`: a write
// past it fails with "File too large", as it does for root, whom permissions do not stop.
struct UFileSizeLimit {
    explicit UFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous);
        previousAction = signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~UFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, previousAction);
    }
    UFileSizeLimit(const UFileSizeLimit&) = delete;
    UFileSizeLimit& operator=(const UFileSizeLimit&) = delete;

    rlimit previous{};
    sighandler_t previousAction;
};

// While it lives, files are opened as a user without privileges: root, as CI runs the tests,
// reads and writes past every permission, so a folder or file of mode 000 would stop nothing.
// Anything such a user must reach needs its permissions opened (OpenTo).
struct UUnprivileged {
    static constexpr uid_t Nobody = 65534;
    UUnprivileged() {
        if (geteuid() == 0) {
            dropped = setegid(Nobody) == 0 && seteuid(Nobody) == 0;
        }
    }
    ~UUnprivileged() {
        if (dropped) {
            (void)!seteuid(0);
            (void)!setegid(0);
        }
    }
    UUnprivileged(const UUnprivileged&) = delete;
    UUnprivileged& operator=(const UUnprivileged&) = delete;

    bool dropped = false;
};

// Lets every user into `folder` (mkdtemp makes it its owner's alone), and write to it if `write`.
inline void OpenTo(const std::string& folder, bool write) {
    std::filesystem::permissions(folder, std::filesystem::perms(write ? 0777 : 0755));
}

// The names in `folder` that contain `part`, such as the ".tmp" of a temporary file.
inline std::vector<std::string> NamesWith(const std::string& folder, const std::string& part) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(part) != std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

// Makes and returns a folder path of exactly `length` bytes with its final '/', going down from
// `root` (which ends with '/') through names of at most 200 bytes: one name is held to 255
// bytes, a whole path only to 4095.
inline std::string MakeDeepFolder(const std::string& root, std::size_t length) {
    std::string path = root;
    while (path.size() < length) {
        std::size_t name = length - path.size() - 1;
        if (name > 200) {
            name = name - 200 < 2 ? 150 : 200;
        }
        path += std::string(name, 'd') + "/";
    }
    std::filesystem::create_directories(path);
    return path;
}

// True also for a link whose target is gone.
inline bool Exists(const std::string& path) {
    return std::filesystem::is_symlink(path) || std::filesystem::exists(path);
}

// The code of the error record that `action` raises; 0 when it raises none.
inline int CodeOf(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return error.GetCode();
    }
    return 0;
}

// The error that `action` raises as "position code message|extra"; empty when none.
inline std::string FailureOf(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return std::string(error.GetPosition()) + " " + std::to_string(error.GetCode()) + " " +
               error.GetInfo() + "|" + error.GetInfoEx();
    }
    return "";
}
