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
    if (exists) {
        return ::stat(candidate, &other) == 0 && other.st_dev == status.st_dev &&
               other.st_ino == status.st_ino;
    }
    return !normalPath.empty() && Normal(candidate) == normalPath;
}

std::string UFileIdentity_C::Normal(const std::string& text) {
    std::error_code ignored;
    return std::filesystem::absolute(text, ignored).lexically_normal().string();
}
