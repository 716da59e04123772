#include "files/UFile_C.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace NS_Data {
namespace {

// Writes all `count` bytes unless the system refuses; false when some were not written.
bool WriteAll(int handle, const unsigned char* from, int32_t count) {
    while (count > 0) {
        const ssize_t written = ::write(handle, from, static_cast<std::size_t>(count));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        from += written;
        count -= static_cast<int32_t>(written);
    }
    return true;
}

}  // namespace

// A file still being written is abandoned by the output's own destructor: whatever is buffered
// belongs to it.
UFile_C::~UFile_C() {
    if (state == Reading) {
        ::close(handle);
    }
}

void UFile_C::Open(const char* newPath) {
    CheckState(Closed);
    Adopt(PathRecord_S::Fits(newPath) ? OpenRegular(newPath) : -1, newPath, Reading, 1);
}

// Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
int UFile_C::OpenRegular(const char* newPath) {
    const int descriptor = ::open(newPath, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fcntl(descriptor, F_SETFL, 0) != 0) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        return -1;
    }
    return descriptor;
}

void UFile_C::Create(const char* newPath, int32_t /*attribute*/) {
    CheckState(Closed);
    int descriptor = -1;
    if (PathRecord_S::Fits(newPath)) {
        try {
            output.Open(newPath, UAtomicFile_C::RegularFiles);
            descriptor = output.GetDescriptor();
        } catch (const NS_Base::UError_C&) {
            // Reported below as this class's own failure to create.
        }
    }
    Adopt(descriptor, newPath, Writing, 2);
}

void UFile_C::Adopt(int descriptor, const char* newPath, UState_E newState, int32_t failureCode) {
    if (descriptor < 0) {
        throw MakeError(failureCode, newPath);
    }
    handle = descriptor;
    state = newState;
    std::strcpy(path, newPath);
    readPosition = 0;
    end = 0;
}

void UFile_C::Close() {
    if (state == Closed) {
        return;
    }
    if (state == Writing && GetPending() != 0 && Flush() != 0) {
        throw UBuffer_C::MakeError(2);
    }
    if (state == Writing) {
        handle = -1;
        try {
            output.Commit();
        } catch (const NS_Base::UError_C&) {
            // The system may report a failed write only now; the old file stays as it was.
            throw UBuffer_C::MakeError(2);
        }
    } else {
        ::close(handle);
        handle = -1;
    }
    state = Closed;
}

int64_t UFile_C::GetRemaining() const {
    if (state != Reading) {
        return 0;
    }
    int64_t remaining = GetPending();
    struct stat status {};
    const off_t offset = ::lseek(handle, 0, SEEK_CUR);
    if (offset >= 0 && ::fstat(handle, &status) == 0 && status.st_size > offset) {
        remaining += status.st_size - offset;
    }
    return remaining;
}

int UFile_C::Refill() {
    readPosition = 0;
    end = 0;
    ssize_t count = -1;
    do {
        count = ::read(handle, bytes, Capacity);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
        return 1;
    }
    end = static_cast<int32_t>(count);
    return 0;
}

int UFile_C::Flush() {
    if (!WriteAll(handle, bytes + readPosition, end - readPosition)) {
        return 1;
    }
    readPosition = 0;
    end = 0;
    return 0;
}

void UFile_C::CheckState(UState_E wanted) const {
    if (state != wanted) {
        throw MakeSystemError(1);
    }
}

NS_Base::UError_C UFile_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to open pointed file.")},
        {2, TR_NOOP("UError_C", "Fail to create pointed file.")},
        {3, TR_NOOP("UError_C", "Fail to write data to the file.")},
        {4, TR_NOOP("UError_C", "Fail to read data from the file.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, extra);
}

NS_Base::UError_C UFile_C::MakeSystemError(int32_t code) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Incorrect state.")},
        {2, TR_NOOP("UError_C", "No file exist.")},
        {3, TR_NOOP("UError_C", "No file to been deleted.")},
        {4, TR_NOOP("UError_C", "Too size of file.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
}

}  // namespace NS_Data
