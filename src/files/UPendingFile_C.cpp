#include "files/UPendingFile_C.h"

#include <unistd.h>

#include <cerrno>

void UPendingFile_C::Write(NS_Data::UAtomicFile_C& file, const std::string& target,
                           std::string_view bytes) {
    try {
        file.Open(target.c_str(), NS_Data::UAtomicFile_C::Streams);
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t count =
                ::write(file.GetDescriptor(), bytes.data() + done, bytes.size() - done);
            if (count < 0 && errno != EINTR) {
                file.Fail(errno);
            }
            done += count > 0 ? static_cast<std::size_t>(count) : 0;
        }
        file.Prepare();
    } catch (const NS_Base::UError_C& failure) {
        throw MakeError(1, failure.GetInfoEx());
    }
}

NS_Base::UError_C UPendingFile_C::MakeError(int32_t code, const char* text) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to write the file:")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, text);
}
