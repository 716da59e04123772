#include "files/PathUtilities.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

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

std::string GetFolderPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string GetRelativePath(const std::string& target, const std::string& from) {
    namespace fs = std::filesystem;
    // A folder reached through a link is left by ".." towards its real parent, so both folders
    // are taken as the system finds them; the file names stay as written.
    const auto realFolder = [](const std::string& path) {
        const fs::path folder = fs::absolute(path).lexically_normal().parent_path();
        std::error_code failed;
        const fs::path real = fs::weakly_canonical(folder, failed);
        return failed ? folder : real;
    };
    const fs::path name = fs::path(target).filename();
    return (realFolder(target) / name).lexically_relative(realFolder(from)).generic_string();
}
