#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/Picture_S.h"
#include "composition/UComposeOptions_S.h"
#include "composition/USheetLayout_S.h"
#include "foundation/UList_T.h"
#include "imaging/USheetEncoder_C.h"

namespace NS_Data {

class UAtomicFile_C;
class UBinaryFile_C;

// The pictures to merge, in the order they were added, and the composing of them into one sheet
// of equal cells written as a PNG file. Pictures decode apart from the group (Load, on any
// thread) and join it in order (Append); each is held whole in memory until Clear.
class PictureGroup_C : public UList_T<NS_GroupElementDeclare::Picture_S, UBinaryFile_C> {
public:
    // Every value other than Horizontal and Vertical composes as MultiRow.
    enum ComposeMode_E : int { Horizontal = 0, Vertical = 1, MultiRow = 2 };

    const char* ClassName() const override { return "PictureGroup_C"; }

    // True when the last component of `path` ('/' separates folders) ends in .bmp, .png, .jpg
    // or .gif, letter case ignored.
    static bool IsPictureFile(const char* path);

    // One file's pictures, decoded and ready to append: the picture itself, or every frame of
    // an animated gif. Each delay is a frame's in milliseconds, -1 for a picture that is no
    // frame of an animation.
    struct ULoaded_S {
        std::vector<NS_GroupElementDeclare::Picture_S> pictures;
        std::vector<int32_t> delays;
    };

    // Loads the picture and appends it. A picture that cannot be loaded leaves the group as it
    // was.
    void AddPicture(const char* path);
    // Decodes what AddPicture would append, touching no group, so that several files can load on
    // several threads at once. With `allFrames`, an animated gif gives every frame, each
    // composed as browsers show it, with its delay in milliseconds; any other picture, a still
    // gif included, gives itself with a delay of -1.
    static ULoaded_S Load(const char* path, bool allFrames);
    // Appends the pictures of a Load, in their order.
    void Append(ULoaded_S loaded);
    // Draws every picture into its cell on a sheet filled with `background` and writes the sheet
    // to `outputPath`. An empty sheet fails with code 2 and one too large to hold with code 4,
    // both before anything is allocated or written. The group is left unchanged.
    void Compose(const char* outputPath, uint32_t background, int mode, bool autoCut);
    // Refuses a batch before any of its pictures is decoded, given the sizes their headers
    // declare: code 4 when the grid of their whole areas (the largest a trimmed grid can be)
    // passes the sheet limit, code 5 when composing would need more than `availableBytes`.
    static void CheckBatch(const std::vector<USize_C>& sizes, const UComposeOptions_S& options,
                           uint64_t availableBytes);
    // CheckBatch for the picture files at `paths`, against the memory available now; a file
    // whose header cannot be read fails as AddPicture would. With options.allGifFrames, each
    // frame of a gif counts as a picture of its screen's size, as Load gives them.
    static void CheckBatchFiles(const std::vector<std::string>& paths,
                                const UComposeOptions_S& options);
    // Every picture, in group order.
    std::vector<const NS_GroupElementDeclare::Picture_S*> GetPictures();
    // Compose with a layout made by PlanSheet for this group, compressed at `level`.
    void ComposeSheet(const char* outputPath, uint32_t background, const USheetLayout_S& layout,
                      USheetEncoder_C::Level level = USheetEncoder_C::Level::Default);
    // ComposeSheet up to the last step: the sheet is written to `file` and prepared, and put in
    // place only by UImageData_C::CommitSheet; its form follows the name, as WriteSheet there
    // chooses it. With `indexed` it writes a palette PNG when the sheet has at most 256
    // colours; returns false when it had more and RGBA was written.
    bool WriteSheet(UAtomicFile_C& file, const char* outputPath, uint32_t background,
                    const USheetLayout_S& layout, USheetEncoder_C::Level level,
                    bool indexed = false);
    // Removes every picture; refused while an identifier still holds one.
    void Clear() { DeleteAll(); }

    // The common cell, and a row, a column or the grid nearest to square of such cells.
    USheetLayout_S ComputeHorizontal(bool autoCut) {
        return PlanSheet(ULayout_E::Row, autoCut, {});
    }
    USheetLayout_S ComputeVertical(bool autoCut) {
        return PlanSheet(ULayout_E::Column, autoCut, {});
    }
    USheetLayout_S ComputeMultiRow(bool autoCut) { return PlanSheet(ULayout_E::Grid, autoCut, {}); }
    USheetLayout_S PlanSheet(ULayout_E layout, bool autoCut, const USheetOptions_S& options);
    // Where each picture lies on the sheet of `layout`, in group order.
    std::vector<UFrame_S> PlaceFrames(const USheetLayout_S& layout);

    // The side above which most GPUs cannot load a texture.
    static constexpr int64_t CommonTextureSide = 16384;
    // Raises code 2 for a sheet without pixels, code 4 for one too large to allocate and code 6
    // for one with a side above `maxSide` (0: no such limit), naming the size in the last two.
    static void CheckSheet(const USheetLayout_S& layout, int64_t maxSide = 0);

    // Raises code 7: pictures that one sheet of the largest side cannot hold, as `extra` says.
    [[noreturn]] static void RefuseUnfitting(const std::string& extra);

private:
    static NS_Base::UError_C MakeError(int32_t code, const char* extra = nullptr);
};

}  // namespace NS_Data
