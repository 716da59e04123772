#include "files/ContentHash.h"

#include <fcntl.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t SampleBytes = 64 * 1024;

// Feeds `count` bytes at `offset` to `state`; false when the file holds fewer.
bool Feed(XXH3_state_t& state, int descriptor, uint64_t offset, uint64_t count,
          std::vector<char>& buffer) {
    while (count > 0) {
        const std::size_t wanted = count < buffer.size() ? std::size_t(count) : buffer.size();
        const ssize_t got = ::pread(descriptor, buffer.data(), wanted, off_t(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        XXH3_64bits_update(&state, buffer.data(), std::size_t(got));
        offset += uint64_t(got);
        count -= uint64_t(got);
    }
    return true;
}

using UState_P = std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)>;

UState_P NewState(uint64_t seed) {
    UState_P state(XXH3_createState(), &XXH3_freeState);
    if (state) {
        XXH3_64bits_reset_withSeed(state.get(), seed);
    }
    return state;
}

}  // namespace

uint64_t HashBytes(std::string_view bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

bool HashFile(const char* path, uint64_t& hash) {
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        return false;
    }
    UState_P state = NewState(0);
    std::vector<char> buffer(SampleBytes);
    bool read = state != nullptr;
    while (read) {
        const ssize_t got = ::read(descriptor, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        read = got > 0;
        if (got < 0) {
            state.reset();
        } else if (got > 0) {
            XXH3_64bits_update(state.get(), buffer.data(), std::size_t(got));
        }
    }
    ::close(descriptor);
    if (state) {
        hash = XXH3_64bits_digest(state.get());
    }
    return state != nullptr;
}

bool HashSample(int descriptor, uint64_t size, uint64_t& hash) {
    UState_P state = NewState(size);
    std::vector<char> buffer(SampleBytes);
    if (!state) {
        return false;
    }
    const bool whole = size <= 2 * SampleBytes;
    const bool fed = whole ? Feed(*state, descriptor, 0, size, buffer)
                           : Feed(*state, descriptor, 0, SampleBytes, buffer) &&
                                 Feed(*state, descriptor, size - SampleBytes, SampleBytes, buffer);
    hash = XXH3_64bits_digest(state.get());
    return fed;
}
