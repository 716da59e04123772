#pragma once

#include <cstdint>
#include <vector>

#include "composition/Picture_S.h"
#include "foundation/UList_T.h"

namespace NS_Data {

class UBinaryFile_C;

// The pictures to merge, in the order they were added. Pictures decode apart from the group
// (Load, on any thread) and join it in order (Append); each is held whole in memory until Clear.
// Where they go on the sheet is the plan's business (USheetPlan_C).
class PictureGroup_C : public UList_T<NS_GroupElementDeclare::Picture_S, UBinaryFile_C> {
public:
    const char* ClassName() const override { return "PictureGroup_C"; }

    // One file's pictures, decoded and ready to append: the picture itself, or every frame of
    // an animated gif. Each delay is a frame's in milliseconds, -1 for a picture that is no
    // frame of an animation.
    struct ULoaded_S {
        std::vector<NS_GroupElementDeclare::Picture_S> pictures;
        std::vector<int32_t> delays;
    };

    // Decodes a picture file, touching no group, so that several files can load on several
    // threads at once. With `allFrames`, an animated gif gives every frame, each composed as
    // browsers show it, with its delay in milliseconds; any other picture, a still gif
    // included, gives itself with a delay of -1. A picture that cannot be loaded raises the
    // decoder's error.
    static ULoaded_S Load(const char* path, bool allFrames);
    // Appends the pictures of a Load, in their order.
    void Append(ULoaded_S loaded);
    // Every picture, in group order.
    std::vector<const NS_GroupElementDeclare::Picture_S*> GetPictures();
    // Removes every picture; refused while an identifier still holds one.
    void Clear() { DeleteAll(); }
};

}  // namespace NS_Data
