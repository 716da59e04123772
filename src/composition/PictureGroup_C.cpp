#include "composition/PictureGroup_C.h"

#include <algorithm>
#include <utility>

#include "files/PathUtilities.h"
#include "foundation/UString_C.h"
#include "imaging/UGifAnimation_C.h"
#include "imaging/UImageData_C.h"

namespace NS_Data {
namespace {

using NS_GroupElementDeclare::Picture_S;

// A picture with its content rectangle, measured where it loads.
Picture_S MakePicture(UPixels_C pixels) {
    Picture_S picture;
    picture.contentRect = pixels.GetContentRect();
    picture.pixels = std::move(pixels);
    return picture;
}

// The picture's pixels with every fully transparent one made 0: drawing over a transparent
// buffer copies visible values unchanged and skips the others.
Picture_S LoadPicture(const char* path) {
    UImageData_C image;
    image.LoadFile(path);
    UPixels_C pixels;
    image.GetVisiblePixels(pixels);
    return MakePicture(std::move(pixels));
}

// Every frame of an animated gif; none for any other picture.
std::vector<int32_t> LoadFrames(const char* path, std::vector<Picture_S>& frames) {
    std::vector<int32_t> delays;
    const auto take = [&](const uint32_t* values, USize_C size, int32_t delay) {
        UPixels_C frame;
        frame.SetSize(size);
        std::copy_n(values, size.GetArea(), frame.GetData());
        frames.push_back(MakePicture(std::move(frame)));
        delays.push_back(delay);
    };
    if (!HasExtension(path, "gif") || !UGifAnimation_C::ReadFrames(path, take) ||
        frames.size() < 2) {
        frames.clear();
        return {};
    }
    return delays;
}

}  // namespace

PictureGroup_C::ULoaded_S PictureGroup_C::Load(const char* path, bool allFrames) {
    const UString_C file(path);
    ULoaded_S loaded;
    if (allFrames) {
        loaded.delays = LoadFrames(file.GetString(), loaded.pictures);
    }
    if (loaded.pictures.empty()) {
        loaded.pictures.push_back(LoadPicture(file.GetString()));
        loaded.delays = {-1};
    }
    return loaded;
}

void PictureGroup_C::Append(ULoaded_S loaded) {
    // An element is appended only with its picture whole, so a failed load adds nothing.
    for (Picture_S& picture : loaded.pictures) {
        GetData(AddData()) = std::move(picture);
    }
}

std::vector<const Picture_S*> PictureGroup_C::GetPictures() {
    std::vector<const Picture_S*> pictures;
    pictures.reserve(GetCount());
    for (UIdentifier_C id = GetFirst(); id.IsValid(); id.Next()) {
        pictures.push_back(&GetData(id));
    }
    return pictures;
}

}  // namespace NS_Data
