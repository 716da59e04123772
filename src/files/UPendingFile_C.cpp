#include "files/UPendingFile_C.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

UPendingFile_C::UPendingFile_C(std::string path, std::string_view bytes) : target(std::move(path)) {
    struct stat status;
    if (::stat(target.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        throw MakeError(1, target);
    }
    Write(bytes);
}

UPendingFile_C::~UPendingFile_C() {
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
    }
}

void UPendingFile_C::Write(std::string_view bytes) {
    int handle = -1;
    // The process number keeps concurrent runs apart, the count earlier leftovers.
    for (int attempt = 0; handle < 0 && attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        handle = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle < 0 && errno != EEXIST) {
            break;
        }
    }
    if (handle < 0) {
        temporary.clear();
        throw MakeError(1, target);
    }
    bool written = true;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t count = ::write(handle, bytes.data() + done, bytes.size() - done);
        written = count > 0 || (count < 0 && errno == EINTR);
        done += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    if (::close(handle) != 0 || !written) {
        throw MakeError(1, target);
    }
}

void UPendingFile_C::Commit() {
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        throw MakeError(1, target);
    }
    temporary.clear();
}

NS_Base::UError_C UPendingFile_C::MakeError(int32_t code, const std::string& path) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, "Fail to write the file:"},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, path.c_str());
}
