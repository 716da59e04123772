#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/UMemoryClaim_C.h"
#include "composition/USheetLayout_S.h"
#include "foundation/UError_C.h"
#include "foundation/USize_C.h"

namespace NS_Data {

// What a batch and its sheets may take: the sheet sizes a GPU, the pixel buffer and the user
// allow, and the memory a compose needs, checked from the pictures' headers before anything is
// decoded. Every refusal is a user error naming the sizes.
class USheetLimits_C {
public:
    // The side above which most GPUs cannot load a texture.
    static constexpr int64_t CommonTextureSide = 16384;

    // Refuses a batch before any of its pictures is decoded, given the sizes their headers
    // declare: code 4 when the grid of their whole areas (the largest a trimmed grid can be)
    // passes the sheet limit, code 5 when composing would need more than `availableBytes`. A
    // packed sheet is sized by what its pictures can make, side by side, within its largest side.
    static void CheckBatch(const std::vector<USize_C>& sizes, const UComposeOptions_S& options,
                           uint64_t availableBytes);
    // CheckBatch for the picture files at `paths`, against AvailableMemory() now less what
    // composes running beside it have claimed (waiting for them where only that is short); a
    // file whose header cannot be read fails as loading it would. With options.allGifFrames,
    // each frame of a gif counts as a picture of its screen's size, as loading gives them. The
    // memory needed stays claimed while the claim returned lives.
    [[nodiscard]] static UMemoryClaim_C CheckBatchFiles(const std::vector<std::string>& paths,
                                                        const UComposeOptions_S& options);
    // What this process can still allocate: the least of the memory the kernel expects to hand
    // out without swapping, the address space its limit leaves (ulimit -v) and what a cgroup v2
    // memory limit leaves; unlimited where none of them says.
    static uint64_t AvailableMemory();
    // Raises code 2 for a sheet without pixels, code 4 for one too large to allocate and code 6
    // for one with a side above `maxSide` (0: no such limit), naming the size in the last two
    // and, for a grid of several cells, the packed layout as the way out.
    static void CheckSheet(const USheetLayout_S& layout, int64_t maxSide = 0);
    // The largest side a packed sheet may have: the user's limit, else the common texture side,
    // rounded down to a power of two when sides must be powers of two.
    static int64_t GetLargestPackedSide(const USheetOptions_S& options);
    // Raises code 7 without multipack: pictures that one sheet of the largest side cannot hold,
    // as `extra` says.
    [[noreturn]] static void RefuseUnfitting(const std::string& extra);
    // Raises code 8: one picture that alone is larger than the largest sheet, as `extra` says.
    [[noreturn]] static void RefuseLargePicture(const std::string& extra);

    static const char* ClassName() { return "USheetLimits_C"; }

private:
    // The bytes composing `sizes` needs, and the sheet it makes as a message names it.
    static uint64_t GetBatchMemory(const std::vector<USize_C>& sizes,
                                   const UComposeOptions_S& options, std::string& sheet);
    [[noreturn]] static void RefuseMemory(const std::string& sheet, std::size_t pictures,
                                          uint64_t needed, uint64_t availableBytes);
    static NS_Base::UError_C MakeError(int32_t code, const char* extra = nullptr);
};

}  // namespace NS_Data
