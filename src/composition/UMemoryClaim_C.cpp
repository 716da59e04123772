#include "composition/UMemoryClaim_C.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace NS_Data {
namespace {

struct UClaims_S {
    std::mutex guard;
    std::condition_variable released;
    uint64_t claimed = 0;
};

UClaims_S& Claims() {
    static UClaims_S claims;
    return claims;
}

}  // namespace

UMemoryClaim_C::UMemoryClaim_C(UMemoryClaim_C&& other) noexcept
    : bytes(std::exchange(other.bytes, 0)) {}

UMemoryClaim_C::~UMemoryClaim_C() {
    if (bytes == 0) {
        return;
    }
    UClaims_S& claims = Claims();
    {
        const std::lock_guard<std::mutex> lock(claims.guard);
        claims.claimed -= bytes;
    }
    claims.released.notify_all();
}

bool UMemoryClaim_C::Claim(uint64_t needed, const std::function<uint64_t()>& available,
                           UMemoryClaim_C& claim) {
    UClaims_S& claims = Claims();
    std::unique_lock<std::mutex> lock(claims.guard);
    for (;;) {
        const uint64_t free = available();
        const uint64_t left = free > claims.claimed ? free - claims.claimed : 0;
        if (needed <= left) {
            claims.claimed += needed;
            claim.bytes = needed;
            return true;
        }
        if (claims.claimed == 0) {
            return false;
        }
        claims.released.wait(lock);
    }
}

}  // namespace NS_Data
