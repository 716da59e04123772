#include "files/PathUtilities.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

// The directory part of the last multi-file selection, kept between calls.
std::string selectedDirectory;

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.size() > 1 && directory.back() != '/') {
        return directory + '/' + name;
    }
    return directory + name;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

int NextSelectedFile(int32_t& cursor, const char* selection, std::string& out) {
    const bool firstCall = cursor == 0;
    if (firstCall) {
        selectedDirectory.clear();
    }
    std::string name;
    int zeros = 0;
    while (zeros < 2) {
        const char c = selection[cursor];
        if (c != '\0') {
            name += c;
            zeros = 0;
            ++cursor;
        } else if (!name.empty()) {
            if (!selectedDirectory.empty()) {
                out = JoinPath(selectedDirectory, name);
                return 0;
            }
            selectedDirectory = name;
            name.clear();
            ++zeros;
            ++cursor;
        } else {
            ++zeros;
            ++cursor;
        }
    }
    if (firstCall && !selectedDirectory.empty()) {
        // A single chosen file: its full path was taken for the directory.
        out = selectedDirectory;
        cursor -= 2;
        return 0;
    }
    return 1;
}

int NextCommandLinePath(int32_t& cursor, const char* text, std::string& out) {
    if (cursor == 0 && text[0] != '\0' && text[0] != '"') {
        out = text;
        cursor = static_cast<int32_t>(std::strlen(text));
        return 0;
    }
    std::string path;
    bool quoted = false;
    for (; text[cursor] != '\0'; ++cursor) {
        if (text[cursor] != '"') {
            if (quoted) {
                path += text[cursor];
            }
            continue;
        }
        quoted = !quoted;
        if (!path.empty()) {
            ++cursor;
            out = path;
            return 0;
        }
    }
    return 1;
}

const char* GetFileName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

bool HasExtension(const char* path, const char* extension) {
    const char* dot = std::strrchr(GetFileName(path), '.');
    const char* own = dot ? dot + 1 : "";
    for (; *own && *extension; ++own, ++extension) {
        if (LowerAscii(*own) != LowerAscii(*extension)) {
            return false;
        }
    }
    return *own == *extension;
}

bool GetModuleDirectory(char* buffer, std::size_t size) {
    if (size == 0) {
        return false;
    }
    buffer[0] = '\0';
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    // A result that fills the whole area may have been cut short.
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
        return false;
    }
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash) {
        return false;
    }
    const std::size_t kept = static_cast<std::size_t>(slash - path) + 1;
    if (kept >= size) {
        return false;
    }
    std::memcpy(buffer, path, kept);
    buffer[kept] = '\0';
    return true;
}

bool MakeDirectories(const std::string& directory) {
    // A caller reads errno after a later failure; the folders that already exist must not
    // leave their EEXIST behind.
    const int previousError = errno;
    // Each '/' after the first character ends one folder of the path, the last one included.
    for (std::size_t slash = directory.find('/', 1); slash != std::string::npos;
         slash = directory.find('/', slash + 1)) {
        if (::mkdir(directory.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat info;
    const bool made = ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    errno = made ? previousError : errno;
    return made;
}

std::string GetRelativePath(const std::string& target, const std::string& from) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(from).lexically_normal().parent_path();
    return fs::absolute(target).lexically_normal().lexically_relative(folder).generic_string();
}
