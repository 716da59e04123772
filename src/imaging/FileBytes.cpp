#include "imaging/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace FileBytes {

bool Read(const char* path, std::size_t limit, std::vector<unsigned char>& bytes) {
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return false;
    }
    struct stat status {};
    bool read = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (read) {
        bytes.resize(std::min<std::size_t>(limit, static_cast<std::size_t>(status.st_size)));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t count = ::read(descriptor, bytes.data() + done, bytes.size() - done);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                read = count == 0;
                break;
            }
            done += static_cast<std::size_t>(count);
        }
        bytes.resize(done);
    }
    ::close(descriptor);
    return read;
}

}  // namespace FileBytes
