#pragma once

#include <cstdint>
#include <functional>

namespace NS_Data {

// The memory a compose claims while it runs beside others in this process (the sheets of a
// project built side by side): what its batch was checked to need, which the next batch's check
// counts as taken until the claim ends. The system's free memory already shows what a running
// compose has allocated, so a claim counts it twice and errs on the safe side.
class UMemoryClaim_C {
public:
    UMemoryClaim_C() = default;
    UMemoryClaim_C(UMemoryClaim_C&& other) noexcept;
    UMemoryClaim_C& operator=(UMemoryClaim_C&&) = delete;
    // Gives the claimed memory back and wakes the batches waiting for it.
    ~UMemoryClaim_C();

    // Claims `needed` bytes once they fit what `available` reads less the other claims. While
    // they do not and others hold claims, it waits for those to end, so that a batch that fits
    // alone is never refused for running beside another. Returns an empty claim and false when
    // `needed` does not fit even with no other claim.
    static bool Claim(uint64_t needed, const std::function<uint64_t()>& available,
                      UMemoryClaim_C& claim);

private:
    explicit UMemoryClaim_C(uint64_t claimed) : bytes(claimed) {}

    uint64_t bytes = 0;
};

}  // namespace NS_Data
