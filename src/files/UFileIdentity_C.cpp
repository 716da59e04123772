#include "files/UFileIdentity_C.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

UFileIdentity_C::UFileIdentity_C(const std::string& path)
    : exists(path == "-" ? ::fstat(STDOUT_FILENO, &status) == 0 && S_ISREG(status.st_mode)
                         : ::stat(path.c_str(), &status) == 0),
      normalPath(path == "-" ? std::string() : Normal(path)) {}

bool UFileIdentity_C::Is(const char* candidate) const {
    struct stat other {};
    // A file that was not there is known by its path alone, which needs no look-up.
    return Is(candidate, exists ? Find(candidate, other) : nullptr);
}

bool UFileIdentity_C::Is(const char* candidate, const struct stat* found) const {
    if (exists) {
        return found && found->st_dev == status.st_dev && found->st_ino == status.st_ino;
    }
    return !normalPath.empty() && Normal(candidate) == normalPath;
}

const struct stat* UFileIdentity_C::Find(const char* path, struct stat& status) {
    return ::stat(path, &status) == 0 ? &status : nullptr;
}

std::string UFileIdentity_C::Normal(const std::string& text) {
    std::error_code ignored;
    return std::filesystem::absolute(text, ignored).lexically_normal().string();
}
