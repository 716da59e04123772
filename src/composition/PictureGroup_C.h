#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/Picture_S.h"
#include "composition/USheetLayout_S.h"
#include "foundation/UList_T.h"

namespace NS_Data {

class UBinaryFile_C;

// The pictures to merge, in the order they were added, and the composing of them into one sheet
// of equal cells written as a PNG file. Each picture is held whole in memory from AddPicture to
// Clear.
class PictureGroup_C : public UList_T<NS_GroupElementDeclare::Picture_S, UBinaryFile_C> {
public:
    // Every value other than Horizontal and Vertical composes as MultiRow.
    enum ComposeMode_E : int { Horizontal = 0, Vertical = 1, MultiRow = 2 };

    const char* ClassName() const override { return "PictureGroup_C"; }

    // True when the last component of `path` ('/' separates folders) ends in .bmp, .png, .jpg
    // or .gif, letter case ignored.
    static bool IsPictureFile(const char* path);

    // Loads the picture and appends it. A picture that cannot be loaded leaves the group as it
    // was.
    void AddPicture(const char* path);
    // Draws every picture into its cell on a sheet filled with `background` and writes the sheet
    // to `outputPath`. An empty sheet fails with code 2 and one too large to hold with code 4,
    // both before anything is allocated or written. The group is left unchanged.
    void Compose(const char* outputPath, uint32_t background, int mode, bool autoCut);
    // Refuses a batch before any of its pictures is decoded, given the sizes their headers
    // declare: code 4 when the sheet of their whole areas (the largest a trimmed sheet can be)
    // passes the sheet limit, code 5 when composing would need more than `availableBytes`.
    void CheckBatch(const std::vector<USize_C>& sizes, int mode, uint64_t availableBytes) const;
    // CheckBatch for the picture files at `paths`, against the memory available now; a file
    // whose header cannot be read fails as AddPicture would.
    void CheckBatchFiles(const std::vector<std::string>& paths, int mode) const;
    // Removes every picture; refused while an identifier still holds one.
    void Clear() { DeleteAll(); }

    // The common cell, and a row, a column or the grid nearest to square of such cells.
    USheetLayout_S ComputeHorizontal(bool autoCut);
    USheetLayout_S ComputeVertical(bool autoCut);
    USheetLayout_S ComputeMultiRow(bool autoCut);

    // The grid nearest to square in pixels for `count` cells like `cell`; among equally near
    // grids the one with more columns wins. No cells give a 0 x 0 grid.
    static USheetLayout_S SearchGrid(const URect_C& cell, int32_t count);

private:
    // The union of the pictures' content rectangles (`autoCut`) or whole areas; empty without
    // any.
    URect_C ComputeCell(bool autoCut);
    USheetLayout_S ComputeLayout(int mode, bool autoCut);
    // Raises code 2 for a sheet without pixels and code 4 for one too large to allocate.
    void CheckSheet(const USheetLayout_S& layout) const;
    UPixels_C DrawSheet(const USheetLayout_S& layout, uint32_t background);

    NS_Base::UError_C MakeError(int32_t code, const char* extra = nullptr) const;
};

}  // namespace NS_Data
